#include "cycle.h"

#include <algorithm>
#include <array>
#include <span>

#include "graph_core/graph.h"

namespace {

// What mark_of() gives for a target the search passes by: one that names no
// node, or a node the search is done with, visited and off the path.
constexpr std::uint8_t NO_NODE = MAX_NODES;
// Every id from here on names no node: resource ids end below it.
constexpr std::uint32_t FIRST_ID_PAST_NODES = RESOURCE_ID_BASE + MAX_PER_KIND;

// Marks by dense node index; every check clears them before it starts.
std::array<char, MAX_NODES> visited;
std::array<char, MAX_NODES> recStack;
// The current search path by dense index and, once a cycle is found, the
// node on the path where it starts.
std::array<std::uint8_t, MAX_NODES> path;
std::size_t path_length = 0;
std::uint8_t cycle_start = 0;

// The mark index of each id up to FIRST_ID_PAST_NODES, which has NO_NODE;
// every check fills it in before it starts, and maps the id of each node it
// is done with to NO_NODE. A lookup costs the search less than working out
// the dense index, and most edges, into finished nodes or none, then take
// this one lookup and one well-predicted branch.
std::array<std::uint8_t, FIRST_ID_PAST_NODES + 1> mark_of_id;

std::uint8_t mark_of(std::int32_t target) {
  // A negative id wraps to a large one and joins the ids past the nodes.
  return mark_of_id[std::min(static_cast<std::uint32_t>(target), FIRST_ID_PAST_NODES)];
}

// The observer of the programs' search: it takes no steps, and the compiler
// leaves no trace of it.
struct no_steps {
  void operator()(const search_step& /*step*/) const {}
};

template <typename Observe>
int search_from(std::int32_t i, const Observe& observe) {
  if (visited[i] == 1) {
    recStack[i] = 0;
    return 0;
  }
  visited[i] = 1;
  recStack[i] = 1;
  path[path_length++] = static_cast<std::uint8_t>(i);
  const vertex& node = node_at(i);
  observe({search_step::kind::enter, node.id});
  std::uint32_t edge = 0;
  for (const std::int32_t target : edges_of(node)) {
    observe({search_step::kind::look, node.id, target, edge++});
    const std::uint8_t w = mark_of(target);
    if (w == NO_NODE) continue;
    if (visited[w] == 0 && search_from(w, observe) == 1) return 1;
    if (recStack[w] == 1) {
      cycle_start = w;
      return 1;
    }
  }
  recStack[i] = 0;
  --path_length;
  mark_of_id[static_cast<std::uint32_t>(node.id)] = NO_NODE;
  observe({search_step::kind::leave, node.id});
  return 0;
}

template <typename Observe>
int search(const Observe& observe) {
  const std::int32_t n = node_count();
  for (std::int32_t i = 0; i < n; ++i) {
    visited[i] = 0;
    recStack[i] = 0;
  }
  path_length = 0;
  for (std::uint32_t id = 0; id < mark_of_id.size(); ++id) {
    const std::int32_t index = dense_index_of(static_cast<std::int32_t>(id));
    mark_of_id[id] = index < 0 ? NO_NODE : static_cast<std::uint8_t>(index);
  }
  for (std::int32_t i = 0; i < n; ++i) {
    if (search_from(i, observe) == 1) return 1;
  }
  return 0;
}

}  // namespace

int isCyclic() { return search(no_steps{}); }

int isCyclicStepByStep(void (*observe)(const search_step& step)) { return search(observe); }

int isCyclicUtil(std::int32_t i) { return search_from(i, no_steps{}); }

std::vector<std::int32_t> cycle_found() {
  const auto on_path = std::span(path).first(path_length);
  std::vector<std::int32_t> ids;
  for (auto step = std::find(on_path.begin(), on_path.end(), cycle_start); step != on_path.end();
       ++step) {
    ids.push_back(node_at(*step).id);
  }
  return ids;
}
