// The programs' flows for the page. The worker copies the input's bytes into
// the engine once; each flow then runs on them in memory, and what it wrote
// goes back as bytes, a view into the engine's memory that stays valid until
// the next run. The engine also says where the numbers it reads lie, for the
// page's edits, so that the page reads no number itself, and what the page
// tells a learner about the graph: the notes on what is odd in it, and the
// whole deadlock.
#include <emscripten/bind.h>

#include <cstdint>
#include <string>
#include <vector>

#include "checker.h"
#include "deadlock.h"
#include "drawer.h"
#include "graph_core/in_memory.h"
#include "graph_core/number_spans.h"
#include "search_steps.h"
#include "viewer.h"

namespace {

std::string input;                  // the bytes the flows read
flow_result last;                   // what the last run wrote
std::vector<std::int32_t> located;  // the value, start and end of each number last located
text_notes taught;                  // what teach() read last

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

// The kinds of note by their names on the page, in the order of note_kind.
constexpr const char* NOTE_KINDS[] = {
    "negative-count",       "no-source", "no-target",   "self-loop", "process-to-process",
    "resource-to-resource", "repeated",  "two-holders", "both-ways"};

emscripten::val ids(const std::vector<std::int32_t>& values) {
  emscripten::val list = emscripten::val::array();
  for (const std::int32_t value : values) list.call<void>("push", value);
  return list;
}

emscripten::val notes_of(const text_notes& found) {
  emscripten::val notes = emscripten::val::array();
  for (const graph_note& note : found.notes) {
    emscripten::val shown = emscripten::val::object();
    shown.set("kind", NOTE_KINDS[static_cast<int>(note.kind)]);
    shown.set("item", note.item);
    shown.set("u", note.u);
    shown.set("v", note.v);
    shown.set("start", note.start);
    shown.set("end", note.end);
    notes.call<void>("push", shown);
  }
  return notes;
}

// The deadlocked and the waiting processes of the graph with these arrows,
// and whether a cycle runs through an edge that the wait-for graph cannot show.
emscripten::val processes_of(const arrow_matrix& arrows, node_counts counts) {
  const deadlock_sets found = find_deadlock(arrows, counts);
  emscripten::val sets = emscripten::val::object();
  sets.set("deadlocked", ids(processes_in(found.on_cycle, counts)));
  sets.set("waiting", ids(processes_in(found.waiting, counts)));
  sets.set("hiddenFromWaitFor", cycle_through_one_kind(arrows, counts, found));
  return sets;
}

// What the page tells a learner about the input, as note_text() reads it:
// at most `limit` notes, how many there are, and the deadlocked and waiting
// processes as typed and, when a claim edge was typed, with it. What it read
// is kept for single_aborts_of_taught().
emscripten::val teach(std::size_t limit) {
  taught = note_text(input, limit);
  emscripten::val result = emscripten::val::object();
  result.set("whole", taught.whole);
  result.set("notes", notes_of(taught));
  result.set("total", taught.total);
  if (!taught.whole) return result;
  result.set("typed", processes_of(taught.typed, taught.counts));
  if (taught.claim) {
    result.set("claim",
               processes_of(with_arrow(taught.typed, taught.counts, *taught.claim), taught.counts));
  }
  return result;
}

// The processes whose abort alone would end the deadlock of the graph that
// teach() read last.
emscripten::val single_aborts_of_taught() {
  return ids(single_aborts(taught.typed, taught.counts));
}

}  // namespace

EMSCRIPTEN_BINDINGS(engine) {
  emscripten::function("inputRoom", &input_room);
  emscripten::function("locateNumbers", &locate_numbers_of_input);
  emscripten::function("teach", &teach);
  emscripten::function("singleAbortsOfTaught", &single_aborts_of_taught);
  emscripten::function(
      "runChecker", +[] { return run(run_checker); });
  emscripten::function(
      "runViewer", +[] { return run(run_viewer); });
  emscripten::function(
      "runDrawer", +[] { return run(run_drawer); });
  emscripten::function(
      "runWaitFor", +[] { return run(run_wait_for); });
  emscripten::function(
      "runSearchSteps", +[] { return run(run_search_steps); });
}
