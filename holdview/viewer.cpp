#include "viewer.h"

#include "graph_core/graph.h"
#include "graph_core/program_exit.h"

namespace {
constexpr std::string_view PROGRAM = "holdview";
}

int run_viewer() {
  if (auto error = read_graph()) return exit_with_error(PROGRAM, error->message);
  display_graph(1);
  return exit_after_output(PROGRAM);
}
