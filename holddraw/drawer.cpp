// holddraw: reads a resource-allocation graph, and a claim edge when one
// follows, and draws it in Graphviz's DOT language: processes as circles,
// resources as boxes, and the cycle that makes a deadlock in red.
#include "drawer.h"

#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cycle.h"
#include "graph_core/console.h"
#include "graph_core/graph.h"

namespace {

constexpr std::string_view PROGRAM = "holddraw";

// What the drawing shows besides the graph as typed.
struct findings {
  std::vector<std::int32_t> deadlock;  // the cycle of the graph as typed, or empty
  std::optional<typed_edge> claim;     // the claim edge, when one was typed
  std::vector<std::int32_t> closed;    // the cycle the claim edge closes, or empty
};

// Whether the claim edge is in the graph: its source names a node.
bool claim_added(const findings& found) {
  return found.claim && dense_index_of(found.claim->u) >= 0;
}

const std::vector<std::int32_t>& red_cycle(const findings& found) {
  return found.deadlock.empty() ? found.closed : found.deadlock;
}

// For each node by dense index, the id its edge on the cycle leads to; none
// for nodes off the cycle.
std::vector<std::optional<std::int32_t>> steps_of(const std::vector<std::int32_t>& cycle) {
  std::vector<std::optional<std::int32_t>> next(static_cast<std::size_t>(node_count()));
  for (std::size_t k = 0; k < cycle.size(); ++k) {
    next[static_cast<std::size_t>(dense_index_of(cycle[k]))] = cycle[(k + 1) % cycle.size()];
  }
  return next;
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

void put_nodes(const std::vector<std::optional<std::int32_t>>& steps) {
  for (std::int32_t i = 0; i < node_count(); ++i) {
    put_text("  ");
    put_node_name(node_at(i).id);
    put_text(i < graph.process_count ? " [shape=circle" : " [shape=box");
    put_text(steps[static_cast<std::size_t>(i)] ? ", color=red, fontcolor=red];\n" : "];\n");
  }
}

// One arrow for `count` edges u -> v.
void put_arrow(std::int32_t u, std::int32_t v, std::size_t count, bool red, bool dashed) {
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
  if (dashed) attribute("style=dashed");
  if (red) attribute("color=red");
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
void put_arrows_of(std::int32_t i, const findings& found,
                   const std::vector<std::optional<std::int32_t>>& steps) {
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
    put_arrow(node.id, target, count, steps[static_cast<std::size_t>(i)] == target, false);
  }
}

void put_drawing(const findings& found) {
  const auto steps = steps_of(red_cycle(found));
  put_text("digraph \"resource-allocation graph\" {\n  labelloc=t;\n  label=");
  put_quoted(title_of(found));
  put_text(";\n");
  put_nodes(steps);
  // Nodes first named by an arrow below are targets that name no node.
  put_text("  node [style=dashed, color=grey, fontcolor=grey];\n");
  for (std::int32_t i = 0; i < node_count(); ++i) put_arrows_of(i, found, steps);
  if (claim_added(found)) {
    put_arrow(found.claim->u, found.claim->v, 1, !found.closed.empty(), true);
  }
  put_text("}\n");
}

}  // namespace

int run_drawer() {
  if (auto error = read_graph_unprompted()) return end_run(PROGRAM, error->message());
  findings found;
  if (isCyclic() == 1) found.deadlock = cycle_found();
  if (auto error = read_claim_edge_if_any(found.claim)) return end_run(PROGRAM, error->message());
  if (found.claim) {
    if (auto error = add_claim_edge(*found.claim)) return end_run(PROGRAM, error->message());
  }
  // A graph that is deadlocked already keeps its first cycle.
  if (found.claim && found.deadlock.empty() && isCyclic() == 1) found.closed = cycle_found();
  put_drawing(found);
  return end_run(PROGRAM);
}

// A fuzz harness or a test that runs the flow in process brings its own main.
#ifndef FLOW_WITHOUT_MAIN
int main() { return run_drawer(); }
#endif
