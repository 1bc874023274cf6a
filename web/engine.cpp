// The programs' flows for the page. The worker copies the input's bytes into
// the engine once; each flow then runs on them in memory, and what it wrote
// goes back as bytes, a view into the engine's memory that stays valid until
// the next run.
#include <emscripten/bind.h>

#include <string>

#include "checker.h"
#include "drawer.h"
#include "graph_core/in_memory.h"
#include "search_steps.h"
#include "viewer.h"

namespace {

std::string input;  // the bytes the flows read
flow_result last;   // what the last run wrote

// Room for an input of `size` bytes, for the worker to copy them into.
emscripten::val input_room(std::size_t size) {
  input.resize(size);
  return emscripten::val(emscripten::typed_memory_view(input.size(), input.data()));
}

// Runs `flow` on the input: its output as bytes, the line it wrote on
// stderr and its exit status.
emscripten::val run(int (*flow)()) {
  last = run_in_memory(flow, input);
  emscripten::val result = emscripten::val::object();
  result.set("output", emscripten::typed_memory_view(last.output.size(), last.output.data()));
  result.set("errors", last.errors);
  result.set("status", last.status);
  return result;
}

}  // namespace

EMSCRIPTEN_BINDINGS(engine) {
  emscripten::function("inputRoom", &input_room);
  emscripten::function(
      "runChecker", +[] { return run(run_checker); });
  emscripten::function(
      "runViewer", +[] { return run(run_viewer); });
  emscripten::function(
      "runDrawer", +[] { return run(run_drawer); });
  emscripten::function(
      "runSearchSteps", +[] { return run(run_search_steps); });
}
