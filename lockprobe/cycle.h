// Deadlock detection: a depth-first search for a directed cycle in the graph.
#pragma once

#include <cstdint>
#include <vector>

// Returns 1 when the graph, as it is now, contains a directed cycle, else 0.
// Edges whose target names no node lead nowhere and cannot close a cycle.
int isCyclic();

// One step of the search, for a view that shows the search as it goes.
struct search_step {
  enum class kind : std::uint8_t { enter, look, leave };
  kind what = kind::enter;
  std::int32_t node = 0;    // the id of the node entered, left, or looked from
  std::int32_t target = 0;  // when looking: the edge's target, as typed
  std::uint32_t edge = 0;   // when looking: the edge's place in the node's list, 0 for the newest
};

// Runs the search of isCyclic() and returns what it returns, calling
// `observe` at each step: entering a node, looking along one of its edges,
// whatever the target, and leaving it. isCyclic() takes no such steps, and
// so costs the programs nothing more.
int isCyclicStepByStep(void (*observe)(const search_step& step));

// Searches onward from the node at this dense index; returns 1 when the search
// meets a node that is still on the current search path, else 0.
int isCyclicUtil(std::int32_t i);

// The ids of the nodes on the cycle that the last isCyclic() found, in the
// order the search met them: each node's edge leads to the next, and the
// last one's back to the first. Empty when the last check found no cycle.
std::vector<std::int32_t> cycle_found();
