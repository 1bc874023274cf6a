// Deadlock detection: a depth-first search for a directed cycle in the graph.
#pragma once

#include <cstdint>
#include <vector>

// Returns 1 when the graph, as it is now, contains a directed cycle, else 0.
// Edges whose target names no node lead nowhere and cannot close a cycle.
int isCyclic();

// Searches onward from the node at this dense index; returns 1 when the search
// meets a node that is still on the current search path, else 0.
int isCyclicUtil(std::int32_t i);

// The ids of the nodes on the cycle that the last isCyclic() found, in the
// order the search met them: each node's edge leads to the next, and the
// last one's back to the first. Empty when the last check found no cycle.
std::vector<std::int32_t> cycle_found();
