#include "graph_core/graph.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <span>

#include "block_pool.h"
#include "graph_core/console.h"
#include "number_text.h"

allocation_graph graph;

namespace {

using node_table = std::array<vertex, MAX_PER_KIND>;

void append_node(node_table& table, std::int32_t& count, std::int32_t id) {
  if (count >= MAX_PER_KIND) return;
  table[count] = vertex{id, 0, nullptr};
  ++count;
}

// Gives the node a new, empty newest block in front of its full one; false
// when no memory is left for it.
[[gnu::noinline]] bool start_block(vertex& node) {
  edge_block* const block = take_block();
  if (block == nullptr) return false;
  block->older = node.newest_block;
  node.newest_block = block;
  node.first_edge = EDGES_PER_BLOCK;
  return true;
}

// A node without edges has no block and `first_edge` 0, as if its block were full.
int push_front(vertex& node, std::int32_t target) {
  if (node.first_edge == 0 && !start_block(node)) return 0;
  node.newest_block->targets[--node.first_edge] = target;
  return 1;
}

void free_edges(vertex& node) {
  while (edge_block* const block = node.newest_block) {
    node.newest_block = block->older;
    give_back(block);
  }
}

std::span<const vertex> in_use(const node_table& table, std::int32_t count) {
  return std::span(table).first(static_cast<std::size_t>(count));
}

// The part of a node's lines before the target: "  <id>" and a separator.
// It is copied whole, in one fixed-size move, and then `size` bytes of it kept.
struct line_start {
  std::array<char, 24> text;
  std::size_t size;
};

line_start start_of_line(std::int32_t id, std::string_view separator) {
  line_start start{};
  char* p = std::copy_n("  ", 2, start.text.data());
  p = std::to_chars(p, start.text.data() + start.text.size(), id).ptr;
  p = std::copy(separator.begin(), separator.end(), p);
  start.size = static_cast<std::size_t>(p - start.text.data());
  return start;
}

void put_line_start(const line_start& start) { put_text({start.text.data(), start.size}); }

void put_ids(const node_table& table, std::int32_t count) {
  for (const vertex& node : in_use(table, count)) put_line_start(start_of_line(node.id, "\n"));
}

// Pieces of output written into one reserved room; within it the write
// position stays in a register instead of going through the buffer's state.
constexpr std::size_t PIECES_PER_ROOM = 100;

// Writes one piece for each edge target of `node`, newest first, with
// `write(p, target)`, which returns the piece's end and needs `piece_room` bytes.
// It goes block by block, so that the loop over a room's targets is a plain
// walk over an array.
template <typename Write>
void put_per_edge(const vertex& node, std::size_t piece_room, Write write) {
  std::uint32_t first = node.first_edge;
  for (const edge_block* block = node.newest_block; block != nullptr; block = block->older) {
    auto targets = std::span(block->targets).subspan(first);
    first = 0;
    while (!targets.empty()) {
      const auto room = targets.first(std::min(targets.size(), PIECES_PER_ROOM));
      targets = targets.subspan(room.size());
      char* p = reserve_output(room.size() * piece_room);
      for (const std::int32_t target : room) p = write(p, target);
      commit_output(p);
    }
  }
}

[[gnu::flatten]] void put_edges(const node_table& table, std::int32_t count) {
  for (const vertex& node : in_use(table, count)) {
    const line_start start = start_of_line(node.id, " -> ");
    put_per_edge(node, sizeof start.text + DECIMAL_ROOM + 1,
                 [&start](char* p, std::int32_t target) {
                   std::memcpy(p, start.text.data(), sizeof start.text);
                   p = write_decimal(p + start.size, target);
                   *p = '\n';
                   return p + 1;
                 });
  }
}

[[gnu::flatten]] void put_adjacency_line(const vertex& node) {
  put_line_start(start_of_line(node.id, ": "));
  put_per_edge(node, DECIMAL_ROOM + 1, [](char* p, std::int32_t target) {
    p = write_decimal(p, target);
    *p = ' ';
    return p + 1;
  });
  put_text("\n");
}

}  // namespace

void add_process(std::int32_t id) { append_node(graph.processes, graph.process_count, id); }

void add_resource(std::int32_t id) { append_node(graph.resources, graph.resource_count, id); }

int add_edge(std::int32_t u, std::int32_t v) {
  // Process ids equal table positions and resource ids are RESOURCE_ID_BASE
  // plus the position, so the source is found without a scan. The kind only
  // indexes a constant table and picks a count: on random input it is a coin
  // toss, so a branch on it would mispredict every other edge.
  static constexpr std::array<node_table*, 2> TABLES{&graph.processes, &graph.resources};
  const int kind = u >= RESOURCE_ID_BASE;  // 0 for a process, 1 for a resource
  const std::int32_t count = kind == 1 ? graph.resource_count : graph.process_count;
  // A negative id wraps to a position past any table.
  const std::uint32_t position =
      static_cast<std::uint32_t>(u) - static_cast<std::uint32_t>(kind * RESOURCE_ID_BASE);
  if (position >= static_cast<std::uint32_t>(count)) return 1;
  return push_front((*TABLES[kind])[position], v);
}

void clear_graph() {
  for (vertex& node : graph.processes) free_edges(node);
  for (vertex& node : graph.resources) free_edges(node);
  graph = allocation_graph{};
}

std::int32_t node_count() { return graph.process_count + graph.resource_count; }

const vertex& node_at(std::int32_t dense_index) {
  if (dense_index < graph.process_count) return graph.processes[dense_index];
  return graph.resources[dense_index - graph.process_count];
}

std::int32_t dense_index_of(std::int32_t id) {
  return node_counts{graph.process_count, graph.resource_count}.dense_index(id);
}

arrow_matrix arrows_of_graph() {
  arrow_matrix arrows;
  for (std::int32_t i = 0; i < node_count(); ++i) {
    for (const std::int32_t target : edges_of(node_at(i))) {
      const std::int32_t j = dense_index_of(target);
      if (j >= 0) arrows[static_cast<std::size_t>(i)].set(static_cast<std::size_t>(j));
    }
  }
  return arrows;
}

arrow_matrix with_arrow(arrow_matrix arrows, node_counts counts, const typed_edge& edge) {
  const std::int32_t from = counts.dense_index(edge.u);
  const std::int32_t to = counts.dense_index(edge.v);
  if (from >= 0 && to >= 0)
    arrows[static_cast<std::size_t>(from)].set(static_cast<std::size_t>(to));
  return arrows;
}

void display_graph(int with_adjacency) {
  put_text("Processes:\n");
  put_ids(graph.processes, graph.process_count);
  put_text("\nResources:\n");
  put_ids(graph.resources, graph.resource_count);
  put_text("\nRequest Edges:\n");
  put_edges(graph.processes, graph.process_count);
  put_text("\nAllocation Edges:\n");
  put_edges(graph.resources, graph.resource_count);
  if (with_adjacency == 0) return;
  put_text("\nAdjacency List:\n");
  for (std::int32_t i = 0; i < node_count(); ++i) put_adjacency_line(node_at(i));
}
