#include <new>
#include <string>

#include "graph_core/graph.h"
#include "graph_core/text_input.h"
#include "graph_core/text_output.h"

namespace {

constexpr std::string_view COUNTS_PROMPT = "Enter the number of processes, resources, and edges: ";
constexpr std::string_view EDGES_PROMPT =
    "Enter the edges (resource allocation and request) in the format u v:\n";

struct counts {
  std::int32_t processes = 0;
  std::int32_t resources = 0;
  std::int32_t edges = 0;
};

std::optional<input_error> read_count(std::int32_t& count, std::string_view what) {
  const read_result result = read_int(count);
  if (result == read_result::number) return std::nullopt;
  return describe_read_failure(result, false, what);
}

std::optional<input_error> read_counts(counts& wanted) {
  if (auto error = read_count(wanted.processes, "the number of processes")) return error;
  if (auto error = read_count(wanted.resources, "the number of resources")) return error;
  return read_count(wanted.edges, "the number of edges");
}

std::optional<input_error> check_capacity(std::int32_t count, std::string_view kind) {
  if (count <= MAX_PER_KIND) return std::nullopt;
  return input_error{"at most " + std::to_string(MAX_PER_KIND) + " " + std::string{kind} +
                     " are supported, got " + std::to_string(count)};
}

std::string edge_label(std::int32_t number, std::int32_t total) {
  return "edge " + std::to_string(number) + " of " + std::to_string(total);
}

std::optional<input_error> read_edges(std::int32_t total) {
  for (std::int32_t number = 1; number <= total; ++number) {
    const edge_read edge = read_edge_numbers();
    if (edge.result != read_result::number) {
      return describe_read_failure(edge.result, edge.started, edge_label(number, total));
    }
    if (auto error = add_edge_within_memory(edge.u, edge.v)) return error;
  }
  return std::nullopt;
}

}  // namespace

std::optional<input_error> add_edge_within_memory(std::int32_t u, std::int32_t v) {
  try {
    add_edge(u, v);
  } catch (const std::bad_alloc&) {
    return input_error{"out of memory"};
  }
  return std::nullopt;
}

std::optional<input_error> read_graph() {
  put_text(COUNTS_PROMPT);
  flush_output();
  counts wanted;
  if (auto error = read_counts(wanted)) return error;
  if (auto error = check_capacity(wanted.processes, "processes")) return error;
  if (auto error = check_capacity(wanted.resources, "resources")) return error;

  for (std::int32_t i = 0; i < wanted.processes; ++i) add_process(i);
  for (std::int32_t j = 0; j < wanted.resources; ++j) add_resource(RESOURCE_ID_BASE + j);

  put_text(EDGES_PROMPT);
  flush_output();
  return read_edges(wanted.edges);
}
