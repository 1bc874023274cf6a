#include "cycle.h"

#include <array>

#include "graph_core/graph.h"

namespace {

// Processes and resources with both tables full.
constexpr std::size_t MAX_NODES = 2 * std::size_t{MAX_PER_KIND};
// The marks of targets that name no node: always visited, never on the path,
// so the search passes them by without a branch of its own.
constexpr std::int32_t NO_NODE = MAX_NODES;

// Marks by dense node index; every check clears them before it starts.
std::array<char, MAX_NODES + 1> visited;
std::array<char, MAX_NODES + 1> recStack;

}  // namespace

int isCyclic() {
  const std::int32_t n = node_count();
  for (std::int32_t i = 0; i < n; ++i) {
    visited[i] = 0;
    recStack[i] = 0;
  }
  visited[NO_NODE] = 1;
  for (std::int32_t i = 0; i < n; ++i) {
    if (isCyclicUtil(i) == 1) return 1;
  }
  return 0;
}

int isCyclicUtil(std::int32_t i) {
  if (visited[i] == 1) {
    recStack[i] = 0;
    return 0;
  }
  visited[i] = 1;
  recStack[i] = 1;
  for (const std::int32_t target : edges_of(node_at(i))) {
    const std::int32_t index = dense_index_of(target);
    const std::int32_t w = index < 0 ? NO_NODE : index;
    if (visited[w] == 0 && isCyclicUtil(w) == 1) return 1;
    if (recStack[w] == 1) return 1;
  }
  recStack[i] = 0;
  return 0;
}
