#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

#include "graph_core/console.h"
#include "graph_core/graph.h"
#include "graph_core/reader.h"

namespace {

constexpr std::string_view COUNTS_PROMPT = "Enter the number of processes, resources, and edges: ";
constexpr std::string_view EDGES_PROMPT =
    "Enter the edges (resource allocation and request) in the format u v:\n";

// Messages are composed in place, as much of each part as fits.
void append(input_error& error, std::string_view part) {
  const std::size_t taken = std::min(part.size(), error.text.size() - error.size);
  std::copy_n(part.begin(), taken, error.text.begin() + static_cast<std::ptrdiff_t>(error.size));
  error.size += taken;
}

void append(input_error& error, std::int32_t number) {
  char digits[12];
  const char* const end = std::to_chars(digits, digits + sizeof digits, number).ptr;
  append(error, {digits, static_cast<std::size_t>(end - digits)});
}

// Appends `text` in double quotes, escaped so that the message stays on one
// line and its quotes are unambiguous.
void append_quoted(input_error& error, std::string_view text) {
  constexpr char HEX[] = "0123456789abcdef";
  append(error, "\"");
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      const char escaped[] = {'\\', c};
      append(error, {escaped, sizeof escaped});
    } else if (byte >= 0x20 && byte < 0x7f) {
      append(error, {&c, 1});
    } else {
      const char escaped[] = {'\\', 'x', HEX[byte >> 4], HEX[byte & 0xf]};
      append(error, {escaped, sizeof escaped});
    }
  }
  append(error, "\"");
}

template <typename... Parts>
input_error message(const Parts&... parts) {
  input_error error;
  (append(error, parts), ...);
  return error;
}

// What is being read, for a message: "the number of edges", "edge 3 of 7".
struct item {
  std::string_view text;
  std::int32_t number = 0;  // with the total, when the item is one of several
  std::int32_t total = 0;
};

void append(input_error& error, const item& what) {
  append(error, what.text);
  if (what.total == 0) return;
  append(error, what.number);
  append(error, " of ");
  append(error, what.total);
}

// Says what a read of `what` met instead of a number; `started` tells whether
// part of `what` was read already.
[[gnu::noinline]] input_error read_failure(const number_read& read, bool started,
                                           const item& what) {
  input_error error;
  switch (read.status) {
    case read_status::end_of_input:
      return message(started ? "input ended in " : "input ended before ", what);
    case read_status::not_a_number:
      error = message("expected ", what, ", found ");
      break;
    case read_status::out_of_range:
      error = message("expected ", what, ", found out-of-range number ");
      break;
    case read_status::read_error:
      return message("read error: ", std::strerror(read.error_number));
    case read_status::out_of_memory:
    case read_status::number:
      return message("out of memory");
  }
  append_quoted(error, read.found.text());
  return error;
}

// Reads one number into `value`; `started` tells whether part of `what` was read already.
std::optional<input_error> read_number(std::int32_t& value, bool started, const item& what) {
  const number_read read = read_int();
  if (read.status != read_status::number) return read_failure(read, started, what);
  value = read.value;
  return std::nullopt;
}

std::optional<input_error> check_capacity(std::int32_t count, std::string_view kind) {
  if (count <= MAX_PER_KIND) return std::nullopt;
  return message("at most ", MAX_PER_KIND, " ", kind, " are supported, got ", count);
}

std::optional<input_error> add(const typed_edge& edge) {
  if (add_edge(edge.u, edge.v) == 0) return message("out of memory");
  return std::nullopt;
}

// Reads the two numbers of an edge into `edge` and adds it to the graph.
std::optional<input_error> read_edge(typed_edge& edge, const item& what) {
  if (auto error = read_number(edge.u, false, what)) return error;
  if (auto error = read_number(edge.v, true, what)) return error;
  return add(edge);
}

// Edges whose numbers are read in one go before they are added.
constexpr std::int32_t EDGES_PER_BATCH = 256;

// Reads `total` edges into the graph: many at a time while the input is
// plain, and one number at a time where read_ints() stops, so that whatever
// is wrong is said of the edge it belongs to. Flattened, so that the edge
// insertion is inlined into the loop.
[[gnu::flatten]] std::optional<input_error> read_edges(std::int32_t total) {
  std::array<std::int32_t, std::size_t{2} * EDGES_PER_BATCH> numbers;
  // Counts the edges still to read down, so that no counter passes the
  // largest count on its way.
  std::int32_t left = total;
  while (left > 0) {
    const auto batch = static_cast<std::size_t>(std::min(left, EDGES_PER_BATCH));
    const std::size_t got = read_ints(numbers.data(), 2 * batch);
    for (std::size_t i = 0; i + 1 < got; i += 2, --left) {
      if (auto error = add({numbers[i], numbers[i + 1]})) return error;
    }
    if (got == 2 * batch) continue;
    // read_ints() stopped before this edge or inside it, after its first number.
    const item what{"edge ", total - left + 1, total};
    typed_edge edge{got % 2 == 1 ? numbers[got - 1] : 0, 0};
    if (got % 2 == 0) {
      if (auto error = read_number(edge.u, false, what)) return error;
    }
    if (auto error = read_number(edge.v, true, what)) return error;
    if (auto error = add(edge)) return error;
    --left;
  }
  return std::nullopt;
}

// Reads the counts and the edges into the still empty graph, after each
// prompt when `with_prompts`.
std::optional<input_error> fill_graph(bool with_prompts) {
  const auto prompt = [with_prompts](std::string_view text) {
    if (!with_prompts) return;
    put_text(text);
    flush_output();
  };
  prompt(COUNTS_PROMPT);
  std::int32_t processes = 0;
  std::int32_t resources = 0;
  std::int32_t edges = 0;
  if (auto error = read_number(processes, false, {"the number of processes"})) return error;
  if (auto error = read_number(resources, false, {"the number of resources"})) return error;
  if (auto error = read_number(edges, false, {"the number of edges"})) return error;
  if (auto error = check_capacity(processes, "processes")) return error;
  if (auto error = check_capacity(resources, "resources")) return error;

  for (std::int32_t i = 0; i < processes; ++i) add_process(i);
  for (std::int32_t j = 0; j < resources; ++j) add_resource(RESOURCE_ID_BASE + j);

  prompt(EDGES_PROMPT);
  return read_edges(edges);
}

}  // namespace

std::optional<input_error> read_graph() { return fill_graph(true); }

std::optional<input_error> read_graph_unprompted() { return fill_graph(false); }

std::optional<input_error> read_claim_edge(typed_edge& claim) {
  return read_edge(claim, {"the claim edge"});
}

std::optional<input_error> read_claim_edge_if_any(std::optional<typed_edge>& claim) {
  const item what{"the claim edge"};
  const number_read first = read_int();
  if (first.status == read_status::end_of_input) return std::nullopt;
  if (first.status != read_status::number) return read_failure(first, false, what);
  typed_edge edge{first.value, 0};
  if (auto error = read_number(edge.v, true, what)) return error;
  claim = edge;
  return std::nullopt;
}

std::optional<input_error> add_claim_edge(const typed_edge& claim) { return add(claim); }
