#include "graph_core/graph.h"

#include "graph_core/text_output.h"

allocation_graph graph;

namespace {

void append_node(std::array<vertex, MAX_PER_KIND>& table, std::int32_t& count, std::int32_t id) {
  if (count >= MAX_PER_KIND) return;
  table[count] = vertex{id, NO_EDGE, {}};
  ++count;
}

// Process ids equal table positions and resource ids are RESOURCE_ID_BASE plus
// the position, so the node with a given id is found without a scan.
vertex* find_node(std::array<vertex, MAX_PER_KIND>& table, std::int32_t count,
                  std::int64_t position) {
  if (position < 0 || position >= count) return nullptr;
  return &table[position];
}

void push_front(vertex& node, std::int32_t target) {
  const auto position = static_cast<std::uint32_t>(node.links.size());
  node.links.push_back(edge_link{target, node.first_edge});
  node.first_edge = position;
}

void put_ids(const std::array<vertex, MAX_PER_KIND>& table, std::int32_t count) {
  for (std::int32_t i = 0; i < count; ++i) {
    put_text("  ");
    put_int(table[i].id);
    put_text("\n");
  }
}

void put_edges(const std::array<vertex, MAX_PER_KIND>& table, std::int32_t count) {
  for (std::int32_t i = 0; i < count; ++i) {
    const vertex& node = table[i];
    for (std::uint32_t e = node.first_edge; e != NO_EDGE; e = node.links[e].next_edge) {
      put_text("  ");
      put_int(node.id);
      put_text(" -> ");
      put_int(node.links[e].target);
      put_text("\n");
    }
  }
}

void put_adjacency_line(const vertex& node) {
  put_text("  ");
  put_int(node.id);
  put_text(": ");
  for (std::uint32_t e = node.first_edge; e != NO_EDGE; e = node.links[e].next_edge) {
    put_int(node.links[e].target);
    put_text(" ");
  }
  put_text("\n");
}

}  // namespace

void add_process(std::int32_t id) { append_node(graph.processes, graph.process_count, id); }

void add_resource(std::int32_t id) { append_node(graph.resources, graph.resource_count, id); }

void add_request_edge(std::int32_t u, std::int32_t v) {
  if (vertex* source = find_node(graph.processes, graph.process_count, u)) push_front(*source, v);
}

void add_allocation_edge(std::int32_t u, std::int32_t v) {
  vertex* source =
      find_node(graph.resources, graph.resource_count, std::int64_t{u} - RESOURCE_ID_BASE);
  if (source != nullptr) push_front(*source, v);
}

void add_edge(std::int32_t u, std::int32_t v) {
  if (u >= RESOURCE_ID_BASE) {
    add_allocation_edge(u, v);
  } else {
    add_request_edge(u, v);
  }
}

std::int32_t node_count() { return graph.process_count + graph.resource_count; }

const vertex& node_at(std::int32_t dense_index) {
  if (dense_index < graph.process_count) return graph.processes[dense_index];
  return graph.resources[dense_index - graph.process_count];
}

std::int32_t dense_index_of(std::int32_t id) {
  if (id >= 0 && id < graph.process_count) return id;
  if (id >= RESOURCE_ID_BASE && id - RESOURCE_ID_BASE < graph.resource_count) {
    return graph.process_count + (id - RESOURCE_ID_BASE);
  }
  return -1;
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
