#include <algorithm>
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
  append(error, {digits, std::to_chars(digits, digits + sizeof digits, number).ptr});
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

std::optional<input_error> read_count(std::int32_t& count, const item& what) {
  const number_read read = read_int();
  if (read.status != read_status::number) return read_failure(read, false, what);
  count = read.value;
  return std::nullopt;
}

std::optional<input_error> check_capacity(std::int32_t count, std::string_view kind) {
  if (count <= MAX_PER_KIND) return std::nullopt;
  return message("at most ", MAX_PER_KIND, " ", kind, " are supported, got ", count);
}

// Reads the two numbers of an edge into `edge` and adds it to the graph.
std::optional<input_error> read_edge(typed_edge& edge, const item& what) {
  const number_read u = read_int();
  if (u.status != read_status::number) return read_failure(u, false, what);
  const number_read v = read_int();
  if (v.status != read_status::number) return read_failure(v, true, what);
  edge = {u.value, v.value};
  if (add_edge(edge.u, edge.v) == 0) return message("out of memory");
  return std::nullopt;
}

// Reads `total` edges into the graph. Flattened: a large graph has millions of
// edges, and each read is a few instructions once inlined.
[[gnu::flatten]] std::optional<input_error> read_edges(std::int32_t total) {
  typed_edge edge;
  for (std::int32_t number = 1; number <= total; ++number) {
    if (auto error = read_edge(edge, {"edge ", number, total})) return error;
  }
  return std::nullopt;
}

}  // namespace

std::optional<input_error> read_graph() {
  put_text(COUNTS_PROMPT);
  flush_output();
  std::int32_t processes = 0;
  std::int32_t resources = 0;
  std::int32_t edges = 0;
  if (auto error = read_count(processes, {"the number of processes"})) return error;
  if (auto error = read_count(resources, {"the number of resources"})) return error;
  if (auto error = read_count(edges, {"the number of edges"})) return error;
  if (auto error = check_capacity(processes, "processes")) return error;
  if (auto error = check_capacity(resources, "resources")) return error;

  for (std::int32_t i = 0; i < processes; ++i) add_process(i);
  for (std::int32_t j = 0; j < resources; ++j) add_resource(RESOURCE_ID_BASE + j);

  put_text(EDGES_PROMPT);
  flush_output();
  return read_edges(edges);
}

std::optional<input_error> read_claim_edge(typed_edge& claim) {
  return read_edge(claim, {"the claim edge"});
}
