// The whole of a deadlock: every node on a directed cycle, the processes
// that wait for ever behind them, and the processes whose abort alone would
// end it. Worked out on the graph's arrows, in time linear in them.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <vector>

#include "graph_core/graph.h"

// What a graph's cycles hold, by dense index.
struct deadlock_sets {
  // Each node's strongly connected component: an arrow lies on a cycle
  // exactly when it joins two nodes of one component, or a node to itself.
  std::array<std::uint8_t, MAX_NODES> component{};
  std::bitset<MAX_NODES> on_cycle;  // the nodes that lie on a directed cycle
  std::bitset<MAX_NODES> waiting;   // the nodes on none from which one can be reached

  bool arrow_on_cycle(std::size_t u, std::size_t v) const {
    return u == v || component[u] == component[v];
  }
};

// Returns the cycles of the graph whose arrows are `arrows`.
deadlock_sets find_deadlock(const arrow_matrix& arrows, node_counts counts);

// Returns, in increasing order, the processes whose abort alone, taking
// every arrow from and to it, leaves the graph without a cycle; none for a
// graph without one.
std::vector<std::int32_t> single_aborts(const arrow_matrix& arrows, node_counts counts);

// Returns whether an arrow between two nodes of one kind, two processes or
// two resources, lies on a cycle of `cycles`, the cycles of the graph with
// `arrows`: a cycle that the wait-for graph cannot show.
bool cycle_through_one_kind(const arrow_matrix& arrows, node_counts counts,
                            const deadlock_sets& cycles);

// The ids of the processes among `nodes`, in increasing order.
std::vector<std::int32_t> processes_in(const std::bitset<MAX_NODES>& nodes, node_counts counts);
