// lockprobe: reads a resource-allocation graph, says whether it is deadlocked,
// then says whether one more claim edge would leave it with a cycle.
#include "checker.h"

#include "cycle.h"
#include "graph_core/console.h"
#include "graph_core/graph.h"

namespace {

constexpr std::string_view PROGRAM = "lockprobe";
constexpr std::string_view CLAIM_PROMPT =
    "Enter a claim edge to check if it creates a cycle (format u v): ";

void put_first_verdict(int cyclic) {
  put_text(cyclic == 1 ? "\nThe graph contains a cycle (Deadlocked).\n"
                       : "\nThe graph does not contain a cycle (Not deadlocked).\n");
}

void put_claim_verdict(const typed_edge& claim, int cyclic) {
  put_text("Adding the edge ");
  put_int(claim.u);
  put_text(" -> ");
  put_int(claim.v);
  put_text(cyclic == 1 ? " creates a cycle.\n" : " does not create a cycle.\n");
}

}  // namespace

int run_checker() {
  if (auto error = read_graph()) return end_run(PROGRAM, error->message());
  display_graph(0);
  put_first_verdict(isCyclic());

  put_text(CLAIM_PROMPT);
  flush_output();
  typed_edge claim;
  if (auto error = read_claim_edge(claim)) return end_run(PROGRAM, error->message());
  put_claim_verdict(claim, isCyclic());
  return end_run(PROGRAM);
}

// A fuzz harness or a test that runs the flow in process brings its own main.
#ifndef FLOW_WITHOUT_MAIN
int main() { return run_checker(); }
#endif
