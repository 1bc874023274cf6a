// The plain way to write either program, kept as the yardstick for the
// benchmark: scanf and printf for all text, one malloc per edge record.
// Built as plain_lockprobe, and with PLAIN_VIEWER as plain_holdview.
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int MAX_PER_KIND = 100;

struct edge_link {
  int target;
  edge_link* next_edge;
};

struct vertex {
  int id;
  edge_link* first_edge;
};

vertex processes[MAX_PER_KIND];
vertex resources[MAX_PER_KIND];
int process_count = 0;
int resource_count = 0;

void add_edge(int u, int v) {
  vertex* source = nullptr;
  if (u > 99 && u - 100 < resource_count) source = &resources[u - 100];
  if (u >= 0 && u <= 99 && u < process_count) source = &processes[u];
  if (source == nullptr) return;
  auto* link = static_cast<edge_link*>(std::malloc(sizeof(edge_link)));
  if (link == nullptr) std::exit(1);
  link->target = v;
  link->next_edge = source->first_edge;
  source->first_edge = link;
}

void print_edges(const vertex* table, int count) {
  for (int i = 0; i < count; ++i) {
    for (edge_link* e = table[i].first_edge; e != nullptr; e = e->next_edge) {
      std::printf("  %d -> %d\n", table[i].id, e->target);
    }
  }
}

void print_adjacency(const vertex& node) {
  std::printf("  %d: ", node.id);
  for (edge_link* e = node.first_edge; e != nullptr; e = e->next_edge)
    std::printf("%d ", e->target);
  std::printf("\n");
}

void display_graph(bool with_adjacency) {
  std::printf("Processes:\n");
  for (int i = 0; i < process_count; ++i) std::printf("  %d\n", processes[i].id);
  std::printf("\nResources:\n");
  for (int i = 0; i < resource_count; ++i) std::printf("  %d\n", resources[i].id);
  std::printf("\nRequest Edges:\n");
  print_edges(processes, process_count);
  std::printf("\nAllocation Edges:\n");
  print_edges(resources, resource_count);
  if (!with_adjacency) return;
  std::printf("\nAdjacency List:\n");
  for (int i = 0; i < process_count; ++i) print_adjacency(processes[i]);
  for (int i = 0; i < resource_count; ++i) print_adjacency(resources[i]);
}

#ifndef PLAIN_VIEWER
char visited[2 * MAX_PER_KIND];
char on_path[2 * MAX_PER_KIND];

int dense_index(int id) {
  if (id >= 0 && id < process_count) return id;
  if (id >= 100 && id - 100 < resource_count) return process_count + id - 100;
  return -1;
}

bool search(int i) {
  visited[i] = on_path[i] = 1;
  const vertex& node = i < process_count ? processes[i] : resources[i - process_count];
  for (edge_link* e = node.first_edge; e != nullptr; e = e->next_edge) {
    const int w = dense_index(e->target);
    if (w < 0) continue;
    if (on_path[w] || (!visited[w] && search(w))) return true;
  }
  on_path[i] = 0;
  return false;
}

bool is_cyclic() {
  const int n = process_count + resource_count;
  for (int i = 0; i < n; ++i) visited[i] = on_path[i] = 0;
  for (int i = 0; i < n; ++i) {
    if (!visited[i] && search(i)) return true;
  }
  return false;
}
#endif

}  // namespace

int main() {
  int p = 0;
  int r = 0;
  int e = 0;
  std::printf("Enter the number of processes, resources, and edges: ");
  std::fflush(stdout);
  if (std::scanf("%d %d %d", &p, &r, &e) != 3 || p > MAX_PER_KIND || r > MAX_PER_KIND) return 1;
  for (int i = 0; i < p; ++i) processes[process_count++] = vertex{i, nullptr};
  for (int j = 0; j < r; ++j) resources[resource_count++] = vertex{100 + j, nullptr};
  std::printf("Enter the edges (resource allocation and request) in the format u v:\n");
  std::fflush(stdout);
  for (int i = 0; i < e; ++i) {
    int u = 0;
    int v = 0;
    if (std::scanf("%d %d", &u, &v) != 2) return 1;
    add_edge(u, v);
  }
#ifdef PLAIN_VIEWER
  display_graph(true);
#else
  display_graph(false);
  std::printf(is_cyclic() ? "\nThe graph contains a cycle (Deadlocked).\n"
                          : "\nThe graph does not contain a cycle (Not deadlocked).\n");
  std::printf("Enter a claim edge to check if it creates a cycle (format u v): ");
  std::fflush(stdout);
  int u = 0;
  int v = 0;
  if (std::scanf("%d %d", &u, &v) != 2) return 1;
  add_edge(u, v);
  std::printf(is_cyclic() ? "Adding the edge %d -> %d creates a cycle.\n"
                          : "Adding the edge %d -> %d does not create a cycle.\n",
              u, v);
#endif
  return 0;
}
