// The programs' flows for the page. The worker copies the input's bytes into
// the engine once; each flow then runs on them in memory, and what it wrote
// goes back as bytes, a view into the engine's memory that stays valid until
// the next run. The engine also says where the numbers it reads lie, for the
// page's edits, so that the page reads no number itself.
#include <emscripten/bind.h>

#include <cstdint>
#include <string>
#include <vector>

#include "checker.h"
#include "drawer.h"
#include "graph_core/in_memory.h"
#include "graph_core/number_spans.h"
#include "search_steps.h"
#include "viewer.h"

namespace {

std::string input;                  // the bytes the flows read
flow_result last;                   // what the last run wrote
std::vector<std::int32_t> located;  // the value, start and end of each number last located

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

// The numbers of the input that the programs read, as locate_numbers()
// finds them: a view of their values, starts and ends, three to a number,
// valid until the next call, and whether the reading was whole.
emscripten::val locate_numbers_of_input(bool with_edges) {
  const text_numbers found = locate_numbers(input, with_edges);
  located.clear();
  for (const auto& [value, start, end] : found.numbers) {
    located.insert(located.end(),
                   {value, static_cast<std::int32_t>(start), static_cast<std::int32_t>(end)});
  }
  emscripten::val result = emscripten::val::object();
  result.set("numbers", emscripten::typed_memory_view(located.size(), located.data()));
  result.set("whole", found.whole);
  return result;
}

}  // namespace

EMSCRIPTEN_BINDINGS(engine) {
  emscripten::function("inputRoom", &input_room);
  emscripten::function("locateNumbers", &locate_numbers_of_input);
  emscripten::function(
      "runChecker", +[] { return run(run_checker); });
  emscripten::function(
      "runViewer", +[] { return run(run_viewer); });
  emscripten::function(
      "runDrawer", +[] { return run(run_drawer); });
  emscripten::function(
      "runSearchSteps", +[] { return run(run_search_steps); });
}
