#include "deadlock.h"

#include <algorithm>
#include <utility>

namespace {

// Tarjan's algorithm over the arrows: each node's component, numbered in
// the order the components are completed.
struct components {
  const arrow_matrix& arrows;
  std::int32_t nodes;
  deadlock_sets& found;
  std::array<std::int32_t, MAX_NODES> order{};  // when the search entered a node, from 1
  std::array<std::int32_t, MAX_NODES> low{};    // the earliest node it reaches on the stack
  std::vector<std::int32_t> stack{};
  std::bitset<MAX_NODES> on_stack{};
  std::int32_t entered = 0;
  std::uint8_t completed = 0;

  void visit(std::int32_t u) {
    const auto at = static_cast<std::size_t>(u);
    order[at] = low[at] = ++entered;
    stack.push_back(u);
    on_stack.set(at);
    for (std::int32_t v = 0; v < nodes; ++v) {
      const auto to = static_cast<std::size_t>(v);
      if (!arrows[at][to]) continue;
      if (order[to] == 0) {
        visit(v);
        low[at] = std::min(low[at], low[to]);
      } else if (on_stack[to]) {
        low[at] = std::min(low[at], order[to]);
      }
    }
    if (low[at] != order[at]) return;
    const std::size_t first =
        static_cast<std::size_t>(std::find(stack.begin(), stack.end(), u) - stack.begin());
    const bool cycle = stack.size() - first > 1 || arrows[at][at];
    for (std::size_t k = first; k < stack.size(); ++k) {
      const auto member = static_cast<std::size_t>(stack[k]);
      found.component[member] = completed;
      on_stack.reset(member);
      found.on_cycle[member] = cycle;
    }
    stack.resize(first);
    ++completed;
  }
};

// The nodes from which a node on a cycle can be reached, but on none.
std::bitset<MAX_NODES> reaching(const arrow_matrix& arrows, std::int32_t nodes,
                                const std::bitset<MAX_NODES>& on_cycle) {
  std::bitset<MAX_NODES> reached = on_cycle;
  std::vector<std::int32_t> queue;
  for (std::int32_t v = 0; v < nodes; ++v) {
    if (on_cycle[static_cast<std::size_t>(v)]) queue.push_back(v);
  }
  for (std::size_t k = 0; k < queue.size(); ++k) {
    const auto to = static_cast<std::size_t>(queue[k]);
    for (std::int32_t u = 0; u < nodes; ++u) {
      const auto from = static_cast<std::size_t>(u);
      if (arrows[from][to] && !reached[from]) {
        reached.set(from);
        queue.push_back(u);
      }
    }
  }
  return reached & ~on_cycle;
}

}  // namespace

deadlock_sets find_deadlock(const arrow_matrix& arrows, node_counts counts) {
  deadlock_sets found;
  components search{arrows, counts.nodes(), found};
  for (std::int32_t u = 0; u < counts.nodes(); ++u) {
    if (search.order[static_cast<std::size_t>(u)] == 0) search.visit(u);
  }
  found.waiting = reaching(arrows, counts.nodes(), found.on_cycle);
  return found;
}

std::vector<std::int32_t> single_aborts(const arrow_matrix& arrows, node_counts counts) {
  const std::bitset<MAX_NODES> on_cycle = find_deadlock(arrows, counts).on_cycle;
  std::vector<std::int32_t> aborts;
  if (on_cycle.none()) return aborts;
  // A process on no cycle leaves every cycle whole when it goes.
  for (const std::int32_t p : processes_in(on_cycle, counts)) {
    arrow_matrix without = arrows;
    const auto at = static_cast<std::size_t>(p);
    without[at].reset();
    for (auto& row : without) row.reset(at);
    if (find_deadlock(without, counts).on_cycle.none()) aborts.push_back(p);
  }
  return aborts;
}

bool cycle_through_one_kind(const arrow_matrix& arrows, node_counts counts,
                            const deadlock_sets& cycles) {
  for (std::int32_t u = 0; u < counts.nodes(); ++u) {
    for (std::int32_t v = 0; v < counts.nodes(); ++v) {
      const auto [from, to] = std::pair(static_cast<std::size_t>(u), static_cast<std::size_t>(v));
      const bool one_kind = (u < counts.processes) == (v < counts.processes);
      if (one_kind && arrows[from][to] && cycles.arrow_on_cycle(from, to)) return true;
    }
  }
  return false;
}

std::vector<std::int32_t> processes_in(const std::bitset<MAX_NODES>& nodes, node_counts counts) {
  std::vector<std::int32_t> ids;
  for (std::int32_t p = 0; p < counts.processes; ++p) {
    if (nodes[static_cast<std::size_t>(p)]) ids.push_back(p);
  }
  return ids;
}
