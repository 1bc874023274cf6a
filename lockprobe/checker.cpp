#include "checker.h"

#include "cycle.h"
#include "graph_core/graph.h"
#include "graph_core/program_exit.h"
#include "graph_core/text_input.h"
#include "graph_core/text_output.h"

namespace {

constexpr std::string_view PROGRAM = "lockprobe";
constexpr std::string_view CLAIM_PROMPT =
    "Enter a claim edge to check if it creates a cycle (format u v): ";

void put_first_verdict(int cyclic) {
  put_text(cyclic == 1 ? "\nThe graph contains a cycle (Deadlocked).\n"
                       : "\nThe graph does not contain a cycle (Not deadlocked).\n");
}

void put_claim_verdict(const edge_read& claim, int cyclic) {
  put_text("Adding the edge ");
  put_int(claim.u);
  put_text(" -> ");
  put_int(claim.v);
  put_text(cyclic == 1 ? " creates a cycle.\n" : " does not create a cycle.\n");
}

}  // namespace

int run_checker() {
  if (auto error = read_graph()) return exit_with_error(PROGRAM, error->message);
  display_graph(0);
  put_first_verdict(isCyclic());

  put_text(CLAIM_PROMPT);
  flush_output();
  const edge_read claim = read_edge_numbers();
  if (claim.result != read_result::number) {
    return exit_with_error(
        PROGRAM, describe_read_failure(claim.result, claim.started, "the claim edge").message);
  }
  if (auto error = add_edge_within_memory(claim.u, claim.v)) {
    return exit_with_error(PROGRAM, error->message);
  }
  put_claim_verdict(claim, isCyclic());
  return exit_after_output(PROGRAM);
}
