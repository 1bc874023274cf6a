// holddraw: reads a resource-allocation graph, and a claim edge when one
// follows, and draws it in Graphviz's DOT language: processes as circles,
// resources as boxes, and the cycle that makes a deadlock in red.
#include "drawer.h"

#include <algorithm>
#include <optional>
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

// One arrow for each different target of the node's typed edges, by
// ascending target, labelled with how many edges it stands for.
void put_arrows_of(std::int32_t i, const findings& found,
                   const std::vector<std::optional<std::int32_t>>& steps,
                   std::vector<std::int32_t>& targets) {
  const vertex& node = node_at(i);
  targets.clear();
  for (const std::int32_t target : edges_of(node)) targets.push_back(target);
  // The claim edge, the newest edge of its source, is drawn on its own.
  if (claim_added(found) && found.claim->u == node.id) targets.erase(targets.begin());
  std::sort(targets.begin(), targets.end());
  for (auto run = targets.begin(); run != targets.end();) {
    const auto run_end = std::upper_bound(run, targets.end(), *run);
    put_arrow(node.id, *run, static_cast<std::size_t>(run_end - run),
              steps[static_cast<std::size_t>(i)] == *run, false);
    run = run_end;
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
  std::vector<std::int32_t> targets;
  for (std::int32_t i = 0; i < node_count(); ++i) put_arrows_of(i, found, steps, targets);
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
  // A graph that is deadlocked already keeps its first cycle.
  if (found.claim && found.deadlock.empty() && isCyclic() == 1) found.closed = cycle_found();
  put_drawing(found);
  return end_run(PROGRAM);
}

// A fuzz harness or a test that runs the flow in process brings its own main.
#ifndef FLOW_WITHOUT_MAIN
int main() { return run_drawer(); }
#endif
