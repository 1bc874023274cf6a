#include "search_steps.h"

#include <optional>
#include <string_view>

#include "cycle.h"
#include "graph_core/console.h"
#include "graph_core/graph.h"

namespace {

constexpr std::string_view PROGRAM = "lockprobe";

void put_step(std::string_view search, const search_step& step) {
  static constexpr std::string_view KINDS[] = {" enter ", " look ", " leave "};
  put_text(search);
  put_text(KINDS[static_cast<int>(step.what)]);
  put_int(step.node);
  if (step.what == search_step::kind::look) {
    put_text(" ");
    put_int(step.target);
    put_text(" ");
    put_int(static_cast<std::int32_t>(step.edge));  // below the edge count
  }
  put_text("\n");
}

}  // namespace

int run_search_steps() {
  if (auto error = read_graph_unprompted()) return end_run(PROGRAM, error->message());
  // The claim edge is read first, so that a text the programs refuse lists no step.
  std::optional<typed_edge> claim;
  if (auto error = read_claim_edge_if_any(claim)) return end_run(PROGRAM, error->message());
  isCyclicStepByStep([](const search_step& step) { put_step("1", step); });
  if (!claim) return end_run(PROGRAM);
  if (auto error = add_claim_edge(*claim)) return end_run(PROGRAM, error->message());
  isCyclicStepByStep([](const search_step& step) { put_step("2", step); });
  return end_run(PROGRAM);
}
