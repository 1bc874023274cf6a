// The resource-allocation graph of one run: processes and resources as nodes,
// request and allocation edges between them, and the dialogue that fills it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "graph_core/input_error.h"

// Entries in the process table and, separately, in the resource table.
inline constexpr std::int32_t MAX_PER_KIND = 100;
// Id of the first resource; an id at or above it names a resource.
inline constexpr std::int32_t RESOURCE_ID_BASE = 100;
// The `next_edge` of a list's last record, and the `first_edge` of an empty list.
inline constexpr std::uint32_t NO_EDGE = UINT32_MAX;

// One outgoing edge. `target` is kept as typed, whether or not it names a node.
struct edge_link {
  std::int32_t target;
  std::uint32_t next_edge;  // position in the owning vertex's `links`, or NO_EDGE
};

// One node and its outgoing edges, newest first from `first_edge`.
struct vertex {
  std::int32_t id = 0;
  std::uint32_t first_edge = NO_EDGE;
  // The records of this node's list, oldest first, so a walk over the list
  // stays within one block of memory.
  std::vector<edge_link> links;
};

struct allocation_graph {
  std::int32_t process_count = 0;
  std::int32_t resource_count = 0;
  std::array<vertex, MAX_PER_KIND> processes;
  std::array<vertex, MAX_PER_KIND> resources;
};

// The one graph of the process; it starts empty.
extern allocation_graph graph;

// Appends a process with this id to the process table; ignored when the table is full.
void add_process(std::int32_t id);
// Appends a resource with this id to the resource table; ignored when the table is full.
void add_resource(std::int32_t id);
// Puts the edge u -> v at the front of process u's list; dropped when no process has id u.
void add_request_edge(std::int32_t u, std::int32_t v);
// Puts the edge u -> v at the front of resource u's list; dropped when no resource has id u.
void add_allocation_edge(std::int32_t u, std::int32_t v);
// Adds u -> v as an allocation edge when u names a resource id, else as a request edge.
// Throws std::bad_alloc when no memory is left for the record.
void add_edge(std::int32_t u, std::int32_t v);

// Number of nodes, processes and resources together.
std::int32_t node_count();
// The node behind a dense index: processes first, then resources.
const vertex& node_at(std::int32_t dense_index);
// The dense index of the node that `id` names, or -1 when it names no node.
std::int32_t dense_index_of(std::int32_t id);

// Writes the listing of nodes and edges to standard output, and with
// `with_adjacency` = 1 the adjacency list after it.
void display_graph(int with_adjacency);

// Adds u -> v as add_edge does; returns an error instead of throwing when
// no memory is left for the record.
std::optional<input_error> add_edge_within_memory(std::int32_t u, std::int32_t v);

// Prompts for the counts and the edges and fills the still empty graph.
// Returns why it stopped when the input is cut short, malformed or too large.
std::optional<input_error> read_graph();
