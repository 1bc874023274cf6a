// The resource-allocation graph of one run: processes and resources as nodes,
// request and allocation edges between them, and the dialogue that fills it.
#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

// Entries in the process table and, separately, in the resource table.
inline constexpr std::int32_t MAX_PER_KIND = 100;
// Id of the first resource; an id at or above it names a resource.
inline constexpr std::int32_t RESOURCE_ID_BASE = 100;
// Processes and resources with both tables full.
inline constexpr std::size_t MAX_NODES = 2 * std::size_t{MAX_PER_KIND};
// Edges in one block of a node's edge list: with the link to the older
// block, a block fills 4 KiB, whatever the size of a pointer.
inline constexpr std::uint32_t EDGES_PER_BLOCK = (4096 - sizeof(void*)) / sizeof(std::int32_t);

// A run of one node's edge targets. The newest block is filled from its end
// towards its start, so that each block, and the chain of blocks from the
// newest to the oldest, holds the edges newest first; a full block is never
// moved or copied.
struct edge_block {
  edge_block* older;  // the block filled before this one, or null
  std::array<std::int32_t, EDGES_PER_BLOCK> targets;
};

// One node and its outgoing edges. A target is kept as typed, whether or
// not it names a node.
struct vertex {
  std::int32_t id = 0;
  std::uint32_t first_edge = 0;        // position of the newest edge in `newest_block`
  edge_block* newest_block = nullptr;  // null while the node has no edges
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
// Puts the edge u -> v at the front of node u's list: an allocation edge when
// u is a resource id, else a request edge. Dropped when u names no node.
// Returns 1, or 0 when no memory is left for the edge.
int add_edge(std::int32_t u, std::int32_t v);
// Empties the graph, for a harness that runs many times; the blocks of its
// edges are kept for the next graph.
void clear_graph();

// Walks a node's edge targets newest first, block by block.
struct edge_iterator {
  const edge_block* block;
  std::uint32_t position;

  std::int32_t operator*() const { return block->targets[position]; }
  edge_iterator& operator++() {
    if (++position == EDGES_PER_BLOCK) *this = {block->older, 0};
    return *this;
  }
  bool operator==(const edge_iterator&) const = default;
};

// The targets of a node's edges, newest first: `for (std::int32_t target : edges_of(node))`.
struct edge_range {
  edge_iterator first;
  edge_iterator begin() const { return first; }
  edge_iterator end() const { return {nullptr, 0}; }
};

inline edge_range edges_of(const vertex& node) { return {{node.newest_block, node.first_edge}}; }

// Number of nodes, processes and resources together.
std::int32_t node_count();
// The node behind a dense index: processes first, then resources.
const vertex& node_at(std::int32_t dense_index);
// The dense index of the node that `id` names, or -1 when it names no node.
std::int32_t dense_index_of(std::int32_t id);

// The nodes of a graph with these counts, by dense index: the processes,
// then the resources.
struct node_counts {
  std::int32_t processes = 0;
  std::int32_t resources = 0;

  std::int32_t nodes() const { return processes + resources; }
  // The dense index of the node that `id` names, or -1 when it names none.
  std::int32_t dense_index(std::int32_t id) const {
    if (id >= 0 && id < processes) return id;
    if (id >= RESOURCE_ID_BASE && id - RESOURCE_ID_BASE < resources) {
      return processes + (id - RESOURCE_ID_BASE);
    }
    return -1;
  }
};

// Which node has an edge to which, by dense index, however often the edge
// was typed: row u holds the targets of node u's edges that name nodes.
using arrow_matrix = std::array<std::bitset<MAX_NODES>, MAX_NODES>;

// The arrows of the graph as it is now.
arrow_matrix arrows_of_graph();

// Writes the listing of nodes and edges to standard output, and with
// `with_adjacency` = 1 the adjacency list after it.
void display_graph(int with_adjacency);

// Why the dialogue stopped, as a one-line message without the program's name.
// It is composed without allocating, so that it can say that memory ran out.
struct input_error {
  std::array<char, 256> text;
  std::size_t size = 0;

  std::string_view message() const { return {text.data(), size}; }
};

// The two numbers of an edge as typed.
struct typed_edge {
  std::int32_t u = 0;
  std::int32_t v = 0;
};

// Returns `arrows` with the arrow of `edge` added, when both its ends name
// nodes of a graph with these counts.
arrow_matrix with_arrow(arrow_matrix arrows, node_counts counts, const typed_edge& edge);

// Prompts for the counts and the edges and fills the still empty graph.
// Returns why it stopped when the input is cut short, malformed or too large,
// or memory runs out.
std::optional<input_error> read_graph();
// Reads the counts and the edges into the still empty graph as read_graph()
// does, but without prompting.
std::optional<input_error> read_graph_unprompted();
// Reads the claim edge into `claim` and adds it to the graph. Returns why it
// stopped when the edge cannot be read or memory runs out.
std::optional<input_error> read_claim_edge(typed_edge& claim);
// Reads the claim edge as read_claim_edge() does, but without adding it to
// the graph, and when the input ends before it, returns with `claim` left
// empty.
std::optional<input_error> read_claim_edge_if_any(std::optional<typed_edge>& claim);
// Adds a claim edge read by read_claim_edge_if_any() to the graph. Returns
// why it failed when memory runs out.
std::optional<input_error> add_claim_edge(const typed_edge& claim);
