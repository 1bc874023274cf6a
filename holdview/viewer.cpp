// holdview: reads a resource-allocation graph and prints it with its adjacency list.
#include "viewer.h"

#include "graph_core/console.h"
#include "graph_core/graph.h"

int run_viewer() {
  constexpr std::string_view PROGRAM = "holdview";
  if (auto error = read_graph()) return end_run(PROGRAM, error->message());
  display_graph(1);
  return end_run(PROGRAM);
}

// A fuzz harness or a test that runs the flow in process brings its own main.
#ifndef FLOW_WITHOUT_MAIN
int main() { return run_viewer(); }
#endif
