// holddraw: reads a resource-allocation graph, and a claim edge when one
// follows, and draws it in Graphviz's DOT language: processes as circles,
// resources as boxes, every cycle that makes a deadlock in red, and what the
// claim edge would add to them in a second colour. With --wait-for it draws
// the wait-for graph instead, the resources collapsed.
#include "drawer.h"

#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "cycle.h"
#include "deadlock.h"
#include "graph_core/console.h"
#include "graph_core/graph.h"
#include "graph_core/reader.h"

namespace {

constexpr std::string_view PROGRAM = "holddraw";
// What would be deadlocked once the claim edge is in: amber, not red, with
// a contrast of 4.3:1 against white.
constexpr std::string_view CLAIM_COLOUR = "\"#c06000\"";

// What the drawing shows besides the graph as typed.
struct findings {
  std::vector<std::int32_t> deadlock;  // the cycle the search finds as typed, or empty
  std::optional<typed_edge> claim;     // the claim edge, when one was typed
  std::vector<std::int32_t> closed;    // the cycle the claim edge closes, or empty
  node_counts counts;
  arrow_matrix typed;       // the arrows as typed
  arrow_matrix with_claim;  // and with the claim edge
  deadlock_sets now;        // the cycles as typed
  deadlock_sets then;       // and with the claim edge
};

// Whether the claim edge is in the graph: its source names a node.
bool claim_added(const findings& found) {
  return found.claim && dense_index_of(found.claim->u) >= 0;
}

// The colour of an arrow between the nodes at dense indexes u and v: red
// on a cycle as typed, the claim's colour on one only with the claim edge,
// which is never red; none otherwise.
std::string_view arrow_colour(const findings& found, std::size_t u, std::size_t v, bool claim) {
  if (!claim && found.typed[u][v] && found.now.arrow_on_cycle(u, v)) return "red";
  if (found.with_claim[u][v] && found.then.arrow_on_cycle(u, v)) return CLAIM_COLOUR;
  return {};
}

std::string_view node_colour(const deadlock_sets& now, const deadlock_sets& then, std::size_t i) {
  if (now.on_cycle[i]) return "red";
  return then.on_cycle[i] ? CLAIM_COLOUR : std::string_view{};
}

std::string edge_text(std::int32_t u, std::int32_t v) {
  return std::to_string(u) + " -> " + std::to_string(v);
}

std::string cycle_text(const std::vector<std::int32_t>& cycle) {
  std::string text;
  for (const std::int32_t id : cycle) text += std::to_string(id) + " -> ";
  return text + std::to_string(cycle.front());
}

// The lines of the drawing's title.
std::vector<std::string> title_of(const findings& found) {
  std::vector<std::string> lines{
      found.deadlock.empty() ? "Not deadlocked" : "Deadlocked: " + cycle_text(found.deadlock)};
  if (!found.claim) return lines;
  const std::string claim = edge_text(found.claim->u, found.claim->v);
  if (!found.deadlock.empty()) {
    lines.push_back("With the claim edge " + claim + " the graph is still deadlocked");
  } else if (!found.closed.empty()) {
    lines.push_back("The claim edge " + claim + " creates a cycle: " + cycle_text(found.closed));
  } else {
    lines.push_back("The claim edge " + claim + " does not create a cycle");
  }
  return lines;
}

// Writes `lines` as one DOT string, escaped so that it stays one valid
// string whatever the lines hold, with a line break between them.
void put_quoted(const std::vector<std::string>& lines) {
  put_text("\"");
  for (std::size_t k = 0; k < lines.size(); ++k) {
    if (k > 0) put_text("\\n");
    for (const char c : lines[k]) {
      if (c == '"' || c == '\\') put_text("\\");
      put_text(c == '\n' ? "\\n" : std::string_view{&c, 1});
    }
  }
  put_text("\"");
}

void put_node_name(std::int32_t id) {
  put_text("\"");
  put_int(id);
  put_text("\"");
}

// The nodes at dense indexes below `nodes`: a process that waits for ever
// behind a deadlock with a double outline, each in the colour of its cycles.
void put_nodes(std::int32_t nodes, const deadlock_sets& now, const deadlock_sets& then) {
  for (std::int32_t i = 0; i < nodes; ++i) {
    const auto at = static_cast<std::size_t>(i);
    put_text("  ");
    put_node_name(node_at(i).id);
    put_text(i < graph.process_count ? " [shape=circle" : " [shape=box");
    if (i < graph.process_count && now.waiting[at]) put_text(", peripheries=2");
    if (const std::string_view colour = node_colour(now, then, at); !colour.empty()) {
      put_text(", color=");
      put_text(colour);
      put_text(", fontcolor=");
      put_text(colour);
    }
    put_text("];\n");
  }
}

// One arrow for `count` edges u -> v, labelled with `label` when it has one.
void put_arrow(std::int32_t u, std::int32_t v, std::size_t count, std::string_view colour,
               bool dashed, std::optional<std::int32_t> label = std::nullopt) {
  put_text("  ");
  put_node_name(u);
  put_text(" -> ");
  put_node_name(v);
  std::string_view separator = " [";
  const auto attribute = [&separator](std::string_view text) {
    put_text(separator);
    put_text(text);
    separator = ", ";
  };
  if (count > 1) {
    attribute("label=\"x");
    put_int(static_cast<std::int32_t>(count));  // no more than the edges typed
    put_text("\"");
  }
  if (label) {
    attribute("label=\"");
    put_int(*label);
    put_text("\"");
  }
  if (dashed) attribute("style=dashed");
  if (!colour.empty()) {
    attribute("color=");
    put_text(colour);
  }
  put_text(separator == ", " ? "];\n" : ";\n");
}

// The targets of one of a node's blocks, sorted, from the next to merge. The
// next is copied into `head`, so that the merge compares runs without
// reaching into their blocks.
struct sorted_run {
  std::int32_t head;
  const std::int32_t* next;
  const std::int32_t* end;
};

// Sorts the targets of each of the node's blocks where they are, but for its
// newest edge when `skip_newest`, and returns them as runs to merge. Sorting
// in place costs no memory beside the edges; the drawing is the last use of
// the graph, so nothing walks its lists newest first afterwards.
std::vector<sorted_run> sort_blocks(const vertex& node, bool skip_newest) {
  std::vector<sorted_run> runs;
  std::uint32_t first = node.first_edge + (skip_newest ? 1 : 0);
  for (edge_block* block = node.newest_block; block != nullptr; block = block->older) {
    const auto targets = std::span(block->targets).subspan(first);
    std::sort(targets.begin(), targets.end());
    if (!targets.empty()) {
      runs.push_back({targets.front(), targets.data(), targets.data() + targets.size()});
    }
    first = 0;
  }
  return runs;
}

// Restores the order of `runs`, a heap with the smallest next target on
// top, after the run on top moved on: it sinks below the smaller ones.
void sink_top(std::vector<sorted_run>& runs) {
  for (std::size_t at = 0;;) {
    std::size_t least = at;
    for (const std::size_t child : {2 * at + 1, 2 * at + 2}) {
      if (child < runs.size() && runs[child].head < runs[least].head) least = child;
    }
    if (least == at) return;
    std::swap(runs[at], runs[least]);
    at = least;
  }
}

// One arrow for each different target of the node's typed edges, by
// ascending target, labelled with how many edges it stands for.
void put_arrows_of(std::int32_t i, const findings& found) {
  const vertex& node = node_at(i);
  // The claim edge, the newest edge of its source, is drawn on its own.
  std::vector<sorted_run> runs = sort_blocks(node, claim_added(found) && found.claim->u == node.id);
  std::make_heap(runs.begin(), runs.end(),
                 [](const sorted_run& a, const sorted_run& b) { return a.head > b.head; });
  while (!runs.empty()) {
    const std::int32_t target = runs.front().head;
    std::size_t count = 0;
    while (!runs.empty() && runs.front().head == target) {
      sorted_run& run = runs.front();
      for (; run.next != run.end && *run.next == target; ++run.next) ++count;
      if (run.next != run.end) {
        run.head = *run.next;
      } else {
        run = runs.back();
        runs.pop_back();
      }
      sink_top(runs);
    }
    const std::int32_t to = dense_index_of(target);
    const std::string_view colour = to < 0 ? std::string_view{}
                                           : arrow_colour(found, static_cast<std::size_t>(i),
                                                          static_cast<std::size_t>(to), false);
    put_arrow(node.id, target, count, colour, false);
  }
}

void put_drawing(const findings& found) {
  put_text("digraph \"resource-allocation graph\" {\n  labelloc=t;\n  label=");
  put_quoted(title_of(found));
  put_text(";\n");
  put_nodes(found.counts.nodes(), found.now, found.then);
  // Nodes first named by an arrow below are targets that name no node.
  put_text("  node [style=dashed, color=grey, fontcolor=grey];\n");
  for (std::int32_t i = 0; i < node_count(); ++i) put_arrows_of(i, found);
  if (claim_added(found)) {
    const std::int32_t to = dense_index_of(found.claim->v);
    const auto from = static_cast<std::size_t>(dense_index_of(found.claim->u));
    put_arrow(
        found.claim->u, found.claim->v, 1,
        to < 0 ? std::string_view{} : arrow_colour(found, from, static_cast<std::size_t>(to), true),
        true);
  }
  put_text("}\n");
}

// The arrows of the wait-for graph: process p waits for process q, through
// resource r, when p waits for r and r is held by q. Rows and columns are
// the processes'.
arrow_matrix waits_of(const arrow_matrix& arrows, node_counts counts) {
  arrow_matrix waits;
  for (std::int32_t p = 0; p < counts.processes; ++p) {
    for (std::int32_t r = counts.processes; r < counts.nodes(); ++r) {
      if (arrows[static_cast<std::size_t>(p)][static_cast<std::size_t>(r)]) {
        waits[static_cast<std::size_t>(p)] |= arrows[static_cast<std::size_t>(r)];
      }
    }
  }
  const std::bitset<MAX_NODES> processes =
      ~std::bitset<MAX_NODES>{} >> (MAX_NODES - static_cast<std::size_t>(counts.processes));
  for (auto& row : waits) row &= processes;
  return waits;
}

constexpr std::string_view ODD_CYCLE =
    "Not shown: a cycle through an edge from a process to a process or a resource to a resource";

void put_wait_for(const findings& found) {
  const node_counts processes{found.counts.processes, 0};
  const arrow_matrix typed = waits_of(found.typed, found.counts);
  const arrow_matrix with_claim = waits_of(found.with_claim, found.counts);
  const deadlock_sets now = find_deadlock(typed, processes);
  const deadlock_sets then = find_deadlock(with_claim, processes);
  std::vector<std::string> title = title_of(found);
  title.insert(title.begin(), "Wait-for graph");
  if (cycle_through_one_kind(found.with_claim, found.counts, found.then)) {
    title.emplace_back(ODD_CYCLE);
  }
  put_text("digraph \"wait-for graph\" {\n  labelloc=t;\n  label=");
  put_quoted(title);
  put_text(";\n");
  put_nodes(processes.processes, now, then);
  for (std::int32_t p = 0; p < found.counts.processes; ++p) {
    for (std::int32_t r = found.counts.processes; r < found.counts.nodes(); ++r) {
      for (std::int32_t q = 0; q < found.counts.processes; ++q) {
        const auto [pp, rr, qq] = std::tuple(
            static_cast<std::size_t>(p), static_cast<std::size_t>(r), static_cast<std::size_t>(q));
        if (!found.with_claim[pp][rr] || !found.with_claim[rr][qq]) continue;
        const bool claimed = !found.typed[pp][rr] || !found.typed[rr][qq];
        std::string_view colour;
        if (!claimed && now.arrow_on_cycle(pp, qq))
          colour = "red";
        else if (then.arrow_on_cycle(pp, qq))
          colour = CLAIM_COLOUR;
        put_arrow(p, q, 1, colour, claimed, node_at(r).id);
      }
    }
  }
  put_text("}\n");
}

// Reads the graph and the claim edge, when one follows, and works out what
// a drawing shows; returns why it stopped when the input is refused.
std::optional<input_error> find(findings& found) {
  if (auto error = read_graph_unprompted()) return error;
  found.counts = {graph.process_count, graph.resource_count};
  found.typed = arrows_of_graph();
  found.now = find_deadlock(found.typed, found.counts);
  if (isCyclic() == 1) found.deadlock = cycle_found();
  if (auto error = read_claim_edge_if_any(found.claim)) return error;
  found.with_claim =
      found.claim ? with_arrow(found.typed, found.counts, *found.claim) : found.typed;
  if (claim_added(found)) {
    if (auto error = add_claim_edge(*found.claim)) return error;
  }
  found.then = find_deadlock(found.with_claim, found.counts);
  // A graph that is deadlocked already keeps its first cycle.
  if (found.claim && found.deadlock.empty() && isCyclic() == 1) found.closed = cycle_found();
  return std::nullopt;
}

// Runs the drawing flow that `put` writes.
int run(void (*put)(const findings&)) {
  findings found;
  if (auto error = find(found)) return end_run(PROGRAM, error->message());
  put(found);
  return end_run(PROGRAM);
}

}  // namespace

int run_drawer() { return run(put_drawing); }

int run_wait_for() { return run(put_wait_for); }

// A fuzz harness or a test that runs the flow in process brings its own main.
#ifndef FLOW_WITHOUT_MAIN
namespace {

constexpr std::string_view HELP =
    "Usage: holddraw [--wait-for] < graph.txt | dot -Tsvg > graph.svg\n"
    "\n"
    "Reads a resource-allocation graph on standard input as lockprobe reads it: the\n"
    "numbers of processes, resources and edges, the edges u v, and a claim edge when\n"
    "one follows. Writes one Graphviz digraph on standard output: processes as\n"
    "circles, resources as boxes, the claim edge dashed, every cycle that deadlocks\n"
    "the graph in red, what only the claim edge would deadlock in amber, and each\n"
    "process that waits for ever behind a deadlock with a double outline.\n"
    "\n"
    "  --wait-for  draw the wait-for graph instead: the processes, with an arrow\n"
    "              p -> q labelled r where process p waits for resource r and r\n"
    "              is held by process q\n"
    "  --help      print this text\n";

// Says on stderr that `argument` is not one holddraw takes; returns the exit status, 2.
int refuse(std::string_view argument) {
  std::string shown;
  for (const char c : argument.substr(0, QUOTE_LIMIT)) shown += c >= ' ' && c < 0x7f ? c : '?';
  end_run(PROGRAM, "unknown argument \"" + shown + "\"; holddraw --help says what it takes");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view argument = argc > 1 ? argv[1] : "";
  if (argc == 1) return run_drawer();
  if (argc == 2 && argument == "--wait-for") return run_wait_for();
  if (argc == 2 && argument == "--help") {
    put_text(HELP);
    return end_run(PROGRAM);
  }
  return refuse(argc > 2 ? argv[2] : argument);
}
#endif
