// The programs' flows in process, on the examples and on random graphs
// written as a user may write them, against plain references written from
// the programs' rules: holdview's and lockprobe's listings against a plain
// listing, lockprobe's verdicts against Kahn's algorithm, the steps of its
// searches against a plain recursive search, holddraw's arrows against the
// typed edges, with its red arrows the cycle that search ends on, and where
// each number read lies against where it was written. Then holddraw's
// drawings of small graphs, exactly.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <span>
#include <sstream>
#include <utility>

#include "block_pool.h"
#include "checker.h"
#include "deadlock.h"
#include "drawer.h"
#include "graph_core/graph.h"
#include "graph_core/in_memory.h"
#include "graph_core/number_spans.h"
#include "search_steps.h"
#include "viewer.h"

namespace {

using edge = std::pair<std::int32_t, std::int32_t>;
constexpr std::int32_t MIN = std::numeric_limits<std::int32_t>::min();

const std::string PROMPTS =
    "Enter the number of processes, resources, and edges: "
    "Enter the edges (resource allocation and request) in the format u v:\n";
const std::string CLAIM_PROMPT = "Enter a claim edge to check if it creates a cycle (format u v): ";

// A flow's output and exit status on `input`; it writes no report when it succeeds.
std::pair<std::string, int> run_flow(int (*flow)(), std::string_view input) {
  const flow_result result = run_in_memory(flow, input);
  EXPECT_TRUE(result.status != 0 || result.errors.empty()) << result.errors;
  return {result.output, result.status};
}

// An input as the programs read it.
struct typed_graph {
  std::int32_t processes = 0;
  std::int32_t resources = 0;
  std::int32_t edge_count = 0;
  std::vector<edge> edges;  // as typed
  std::optional<edge> claim;

  explicit typed_graph(const std::string& input) {
    std::istringstream numbers(input);
    numbers >> processes >> resources >> edge_count;
    for (edge e; std::cmp_less(edges.size(), edge_count) && numbers >> e.first >> e.second;) {
      edges.push_back(e);
    }
    if (edge e; numbers >> e.first >> e.second) claim = e;
  }

  bool names_a_node(std::int32_t id) const {
    return (id >= 0 && id < processes) || (id >= 100 && id - 100 < resources);
  }
};

// The listing and the adjacency list, written plainly.
std::pair<std::string, std::string> plain_listing(const typed_graph& g) {
  std::string nodes[2];
  std::string lines[2];
  std::string adjacency;
  for (int kind = 0; kind < 2; ++kind) {
    for (int id = kind * 100; id < kind * 100 + (kind == 0 ? g.processes : g.resources); ++id) {
      nodes[kind] += "  " + std::to_string(id) + "\n";
      adjacency += "  " + std::to_string(id) + ": ";
      for (auto e = g.edges.rbegin(); e != g.edges.rend(); ++e) {
        if (e->first != id) continue;
        lines[kind] += "  " + std::to_string(id) + " -> " + std::to_string(e->second) + "\n";
        adjacency += std::to_string(e->second) + " ";
      }
      adjacency += "\n";
    }
  }
  return {"Processes:\n" + nodes[0] + "\nResources:\n" + nodes[1] + "\nRequest Edges:\n" +
              lines[0] + "\nAllocation Edges:\n" + lines[1],
          "\nAdjacency List:\n" + adjacency};
}

// Kahn's algorithm: the edges between nodes have a cycle when taking away,
// again and again, the nodes that no edge enters leaves some behind.
bool has_cycle(const typed_graph& g, const std::vector<edge>& edges) {
  std::map<std::int32_t, int> entering;
  std::vector<edge> between_nodes;
  std::copy_if(edges.begin(), edges.end(), std::back_inserter(between_nodes),
               [&g](const edge& e) { return g.names_a_node(e.first) && g.names_a_node(e.second); });
  for (const auto& [u, v] : between_nodes) ++entering[v];
  std::vector<std::int32_t> free;  // nodes that no edge enters any more
  std::size_t nodes = 0;
  for (std::int32_t id = 0; id < 100 + g.resources; ++id) {
    if (!g.names_a_node(id)) continue;
    ++nodes;
    if (entering[id] == 0) free.push_back(id);
  }
  for (std::size_t taken = 0; taken < free.size(); ++taken) {
    for (const auto& [u, v] : between_nodes) {
      if (u == free[taken] && --entering[v] == 0) free.push_back(v);
    }
  }
  return free.size() < nodes;
}

// A plain recursive search, colouring each node new, on the path or done:
// its steps, as run_search_steps() writes them for search `number`, and the
// cycle it ends on, as holddraw's title names it, or none.
struct plain_search {
  std::string steps;
  std::string cycle;

  plain_search(const typed_graph& g, const std::vector<edge>& edges, const std::string& number) {
    std::map<std::int32_t, int> colour;  // 0 new, 1 on the path, 2 done
    std::vector<std::int32_t> path;
    const std::function<bool(std::int32_t)> visit = [&](std::int32_t u) {
      colour[u] = 1;
      path.push_back(u);
      steps += number + " enter " + std::to_string(u) + "\n";
      int place = 0;
      for (auto e = edges.rbegin(); e != edges.rend(); ++e) {
        if (e->first != u) continue;
        steps += number + " look " + std::to_string(u) + " " + std::to_string(e->second) + " " +
                 std::to_string(place++) + "\n";
        if (!g.names_a_node(e->second) || colour[e->second] == 2) continue;
        if (colour[e->second] == 1) {
          for (auto on = std::find(path.begin(), path.end(), e->second); on != path.end(); ++on)
            cycle += std::to_string(*on) + " -> ";
          cycle += std::to_string(e->second);
          return true;
        }
        if (visit(e->second)) return true;
      }
      colour[u] = 2;
      path.pop_back();
      steps += number + " leave " + std::to_string(u) + "\n";
      return false;
    };
    for (std::int32_t id = 0; id < 100 + g.resources; ++id) {
      if (g.names_a_node(id) && colour[id] == 0 && visit(id)) break;
    }
  }
};

std::string to_text(const edge& e) {
  return std::to_string(e.first) + " " + std::to_string(e.second);
}

// Which nodes each node reaches along the edges between nodes, in one step or more.
struct plain_reach {
  std::map<std::int32_t, std::set<std::int32_t>> reached;

  plain_reach(const typed_graph& g, const std::vector<edge>& edges) {
    for (std::int32_t id = 0; id < 100 + g.resources; ++id) {
      if (!g.names_a_node(id)) continue;
      reached[id];
      std::vector<std::int32_t> queue{id};
      for (std::size_t k = 0; k < queue.size(); ++k) {
        for (const auto& [u, v] : edges) {
          if (u == queue[k] && g.names_a_node(v) && reached[id].insert(v).second)
            queue.push_back(v);
        }
      }
    }
  }

  bool on_cycle(std::int32_t id) const { return reached.at(id).contains(id); }
  bool arrow_on_cycle(const edge& e) const { return reached.at(e.second).contains(e.first); }
  bool waits(std::int32_t id) const {
    const auto& ahead = reached.at(id);
    return !on_cycle(id) && std::any_of(ahead.begin(), ahead.end(),
                                        [this](std::int32_t other) { return on_cycle(other); });
  }
};

// The notes on a graph as typed, from their definitions, each as its kind,
// the count's place or the edge's number, and the edge's numbers.
std::vector<graph_note> plain_notes(const typed_graph& g) {
  std::vector<graph_note> notes;
  const std::int32_t counts[] = {g.processes, g.resources, g.edge_count};
  for (std::int32_t k = 0; k < 3; ++k) {
    if (counts[k] < 0) notes.push_back({note_kind::negative_count, k, counts[k], 0});
  }
  std::vector<edge> all = g.edges;
  if (g.claim) all.push_back(*g.claim);
  for (std::size_t i = 0; i < all.size(); ++i) {
    const std::int32_t u = all[i].first;  // copies: clang 14 lets no lambda take a binding
    const std::int32_t v = all[i].second;
    const auto item = static_cast<std::int32_t>(i + 1);
    const auto add = [&](note_kind kind) { notes.push_back({kind, item, u, v}); };
    if (!g.names_a_node(u) || !g.names_a_node(v)) {
      add(g.names_a_node(u) ? note_kind::no_target : note_kind::no_source);
      continue;
    }
    const auto before = std::span(all).first(std::min(i, g.edges.size()));
    const auto typed = [&before](std::int32_t a, std::int32_t b) {
      return std::find(before.begin(), before.end(), edge{a, b}) != before.end();
    };
    const bool process[] = {u < 100, v < 100};
    if (u == v) add(note_kind::self_loop);
    if (u != v && process[0] == process[1]) {
      add(process[0] ? note_kind::process_to_process : note_kind::resource_to_resource);
    }
    if (typed(u, v)) add(note_kind::repeated);
    if (!process[0] && process[1] && std::any_of(before.begin(), before.end(), [&](const edge& e) {
          return e.first == u && e.second != v && e.second >= 0 && e.second < g.processes;
        })) {
      add(note_kind::two_holders);
    }
    if (process[0] != process[1] && typed(v, u)) add(note_kind::both_ways);
  }
  return notes;
}

// Checks the notes and the single aborts that the page shows for `input`,
// written as `text` with its numbers at `spans`, against their definitions.
void check_notes_and_deadlock(const std::string& input, const std::string& text,
                              const std::vector<number_span>& spans) {
  const typed_graph g(input);
  text_notes found = note_text(text, 1000);
  ASSERT_TRUE(found.whole) << text;
  std::vector<graph_note> expected = plain_notes(g);
  for (graph_note& note : expected) {
    const bool count = note.kind == note_kind::negative_count;
    const std::size_t first = count ? note.item : 1 + 2 * static_cast<std::size_t>(note.item);
    note.start = spans[first].start;
    note.end = spans[count ? first : first + 1].end;
  }
  ASSERT_EQ(found.notes, expected) << text;
  ASSERT_EQ(found.total, expected.size());
  expected.resize(std::min<std::size_t>(2, expected.size()));  // the first two, when asked for two
  ASSERT_EQ(note_text(text, 2).notes, expected) << text;

  // The single aborts; holddraw's colours check the deadlocked and the waiting.
  std::vector<std::int32_t> aborts;
  for (std::int32_t p = 0; p < found.counts.processes; ++p) {
    std::vector<edge> without;
    std::copy_if(g.edges.begin(), g.edges.end(), std::back_inserter(without),
                 [p](const edge& e) { return e.first != p && e.second != p; });
    if (has_cycle(g, g.edges) && !has_cycle(g, without)) aborts.push_back(p);
  }
  ASSERT_EQ(single_aborts(found.typed, found.counts), aborts) << text;
}

// Runs the three flows on `input` and checks them against the references.
void check_flows(const std::string& input) {
  const typed_graph g(input);
  const auto [listing, adjacency] = plain_listing(g);
  ASSERT_EQ(run_flow(run_viewer, input), std::pair(PROMPTS + listing + adjacency, 0)) << input;

  // lockprobe needs a claim edge: one that names no node changes no verdict.
  const edge claim = g.claim.value_or(edge{-1, -1});
  std::vector<edge> with_claim = g.edges;
  with_claim.push_back(claim);
  const bool deadlocked = has_cycle(g, g.edges);
  const bool closed = has_cycle(g, with_claim);
  // The steps of both searches, ending on a cycle where Kahn's algorithm finds one.
  const plain_search first(g, g.edges, "1");
  const plain_search second(g, with_claim, "2");
  ASSERT_EQ(first.cycle.empty(), !deadlocked);
  ASSERT_EQ(second.cycle.empty(), !closed);
  ASSERT_EQ(run_flow(run_search_steps, input),
            std::pair(first.steps + (g.claim ? second.steps : ""), 0))
      << input;
  const std::string verdicts =
      (deadlocked ? "\nThe graph contains a cycle (Deadlocked).\n"
                  : "\nThe graph does not contain a cycle (Not deadlocked).\n") +
      CLAIM_PROMPT + "Adding the edge " + std::to_string(claim.first) + " -> " +
      std::to_string(claim.second) +
      (closed ? " creates a cycle.\n" : " does not create a cycle.\n");
  ASSERT_EQ(run_flow(run_checker, g.claim ? input : input + "\n-1 -1"),
            std::pair(PROMPTS + listing + verdicts, 0))
      << input;

  // holddraw: an arrow per source and target, by table order and target,
  // counting the edges typed alike; the claim edge dashed. Red, every node
  // and arrow on a cycle as typed; amber, those on one only with the claim
  // edge, which is never red; a double outline, the processes that wait.
  const auto [drawing, status] = run_flow(run_drawer, input);
  ASSERT_EQ(status, 0) << input;
  const bool claim_in = g.claim && g.names_a_node(claim.first);
  const plain_reach now(g, g.edges);
  const plain_reach then(g, claim_in ? with_claim : g.edges);
  std::map<std::string, std::string> looks;  // of each node and arrow: its colour and outline
  std::map<std::string, std::string> expected_looks;
  std::map<edge, int> typed;
  std::vector<std::pair<edge, int>> solid;
  std::istringstream lines(drawing);
  for (std::string line; std::getline(lines, line);) {
    const auto has = [&line](const char* text) { return line.find(text) != std::string::npos; };
    const std::string look = std::string(has("color=red") ? "red"
                                         : has("#c06000") ? "amber"
                                                          : "") +
                             (has("peripheries=2") ? " double" : "");
    edge e;
    int count = 1;
    const int read =
        std::sscanf(line.c_str(), " \"%d\" -> \"%d\" [label=\"x%d", &e.first, &e.second, &count);
    if (read == 1 && has("[shape")) looks["node " + std::to_string(e.first)] = look;
    if (read >= 2) looks[(has("dashed") ? "claim " : "arrow ") + to_text(e)] = look;
    if (read >= 2 && !has("dashed")) solid.emplace_back(e, count);
  }
  for (const auto& [id, ahead] : now.reached) {
    expected_looks["node " + std::to_string(id)] = std::string(now.on_cycle(id)    ? "red"
                                                               : then.on_cycle(id) ? "amber"
                                                                                   : "") +
                                                   (id < 100 && now.waits(id) ? " double" : "");
  }
  for (const edge& e : g.edges) {
    if (!g.names_a_node(e.first)) continue;
    ++typed[e];
    const bool between_nodes = g.names_a_node(e.second);
    expected_looks["arrow " + to_text(e)] = !between_nodes           ? ""
                                            : now.arrow_on_cycle(e)  ? "red"
                                            : then.arrow_on_cycle(e) ? "amber"
                                                                     : "";
  }
  if (claim_in) {
    expected_looks["claim " + to_text(claim)] =
        g.names_a_node(claim.second) && then.arrow_on_cycle(claim) ? "amber" : "";
  }
  ASSERT_EQ(solid, (std::vector<std::pair<edge, int>>(typed.begin(), typed.end())))
      << input << drawing;
  ASSERT_EQ(looks, expected_looks) << input << drawing;
  // The title names the cycle the search ends on.
  const std::string title = deadlocked ? "Deadlocked: " + first.cycle
                            : closed && g.claim
                                ? "Not deadlocked\\nThe claim edge " + std::to_string(claim.first) +
                                      " -> " + std::to_string(claim.second) +
                                      " creates a cycle: " + second.cycle
                                : "Not deadlocked";
  ASSERT_NE(drawing.find("label=\"" + title), std::string::npos) << input << drawing;
}

std::string random_graph(std::mt19937& random) {
  const auto pick = [&random](int count) { return static_cast<int>(random() % count); };
  const bool full = pick(4) == 0;  // both tables full, the edges among the ids at their ends
  const int processes = full || pick(8) == 0 ? MAX_PER_KIND : pick(5);
  const int resources = full || pick(8) == 0 ? MAX_PER_KIND : pick(5);
  const std::int32_t ids[] = {
      0, 1, 2, 98, 99, 100, 101, 102, 198, 199, 200, 201, -1, processes, 100 + resources, MIN};
  const int edges = pick(10) == 0 ? -pick(3) : pick(full ? 40 : 12);
  std::string input = std::to_string(processes) + " " + std::to_string(resources) + " " +
                      std::to_string(edges) + "\n";
  for (int e = std::max(edges, 0) + pick(2); e > 0; --e) {  // and now and then a claim edge
    input += std::to_string(ids[pick(full ? 12 : 8)]) + " " +
             std::to_string(ids[pick(std::size(ids))]) + "\n";
  }
  return input;
}

// `edges` edges from process 0 and half as many from resource 100: as many
// blocks, and the output buffer filled many times over, with numbers of
// every width.
std::string large_graph(std::mt19937& random, std::uint32_t edges) {
  std::string input = "1 1 " + std::to_string(edges + edges / 2) + "\n";
  for (std::uint32_t i = 0; i < edges; ++i) {
    const auto target = static_cast<std::int32_t>(random());
    input += "0 " + std::to_string(target % 300 - 100) + "\n";
    if (i % 2 == 1) input += "100 " + std::to_string(target >> i % 32) + "\n";
  }
  return input + "0 7\n";
}

// `input`, a graph as random_graph() writes it, written as a user may write it: signs,
// leading zeros, any whitespace between numbers or none before a sign, and
// bytes after a claim edge that are never read. Returns the text and where
// each number lies in it, as number_spans.
std::pair<std::string, std::vector<number_span>> disguise(const std::string& input,
                                                          std::mt19937& random) {
  const auto pick = [&random](std::size_t count) { return random() % count; };
  std::istringstream words(input);
  std::string text;
  std::vector<number_span> spans;
  for (std::int32_t value = 0; words >> value;) {
    std::string word = std::to_string(value);
    if (pick(4) == 0) word.insert(value < 0 ? 1 : 0, pick(2) == 0 ? "00" : std::string(90, '0'));
    if (value >= 0 && pick(4) == 0) word.insert(0, "+");
    const bool signed_after_digit = !text.empty() && (word[0] == '+' || word[0] == '-');
    text +=
        signed_after_digit && pick(2) == 0 ? "" : std::string(1 + pick(2), " \t\n\v\f\r"[pick(6)]);
    spans.push_back({value, static_cast<std::uint32_t>(text.size()),
                     static_cast<std::uint32_t>(text.size() + word.size())});
    text += word;
  }
  const typed_graph g(input);
  if (g.claim) text += std::vector<std::string>{"\n", " x", "\xc3\xa9 1", "+-"}[pick(4)];
  return {text, spans};
}

// Runs the flows on `input` written as a user may, and checks that the
// numbers the programs read are located where they lie.
void check_flows_and_spans(const std::string& input, std::mt19937& random) {
  const auto [text, spans] = disguise(input, random);
  ASSERT_NO_FATAL_FAILURE(check_flows(text));
  // The notes' plain reference compares each edge with all before it.
  if (text.size() < 4096) {
    ASSERT_NO_FATAL_FAILURE(check_notes_and_deadlock(input, text, spans));
  }
  const text_numbers found = locate_numbers(text, true);
  ASSERT_TRUE(found.whole) << text;
  ASSERT_EQ(found.numbers, spans) << text;
  ASSERT_EQ(locate_numbers(text, false).numbers, std::vector(spans.begin(), spans.begin() + 3));
}

TEST(Flows, AgreeWithThePlainReferencesOnExamplesAndRandomGraphs) {
  for (const auto& example : std::filesystem::directory_iterator(EXAMPLES_DIR)) {
    std::ifstream file(example.path());
    if (example.path().extension() == ".txt") {  // not the pictures
      ASSERT_NO_FATAL_FAILURE(check_flows({std::istreambuf_iterator<char>(file), {}}));
    }
  }
  std::mt19937 random(17);
  for (int i = 0; i < 3000; ++i) {
    ASSERT_NO_FATAL_FAILURE(check_flows_and_spans(random_graph(random), random));
  }
  // A full block and none, one or two edges over; then many blocks of the
  // input and of edges, with long words across the input's blocks.
  for (const std::uint32_t edges :
       {EDGES_PER_BLOCK, EDGES_PER_BLOCK + 1, EDGES_PER_BLOCK + 2, 50000U}) {
    ASSERT_NO_FATAL_FAILURE(check_flows_and_spans(large_graph(random, edges), random));
  }
}

TEST(Flows, RunOneAfterAnotherInTheSameEdgeStorage) {
  std::mt19937 random(3);
  const std::string input = large_graph(random, 100000);
  run_in_memory(run_drawer, input);
  const std::size_t blocks = blocks_mapped();
  ASSERT_GE(blocks, 100000 / EDGES_PER_BLOCK);
  for (int run = 0; run < 5; ++run) ASSERT_EQ(run_flow(run_viewer, input).second, 0);
  EXPECT_EQ(blocks_mapped(), blocks);
}

TEST(NumberSpans, StopWhereTheProgramsRefuseTheText) {
  const std::pair<const char*, std::vector<number_span>> cases[] = {
      {"1 1 x3", {{1, 0, 1}, {1, 2, 3}}},
      {"1 150 0", {{1, 0, 1}, {150, 2, 5}, {0, 6, 7}}},
      {"1 1 2  0 100  100 q0",
       {{1, 0, 1}, {1, 2, 3}, {2, 4, 5}, {0, 7, 8}, {100, 9, 12}, {100, 14, 17}}},
      {"1 0 0  5 x", {{1, 0, 1}, {0, 2, 3}, {0, 4, 5}, {5, 7, 8}}},
      {"0 0 0  5", {{0, 0, 1}, {0, 2, 3}, {0, 4, 5}, {5, 7, 8}}},
      {"0 0 0  x", {{0, 0, 1}, {0, 2, 3}, {0, 4, 5}}},
  };
  for (const auto& [text, spans] : cases) {
    const text_numbers found = locate_numbers(text, true);
    EXPECT_FALSE(found.whole) << text;
    EXPECT_EQ(found.numbers, spans) << text;
    // Nor does the step listing list a step of such a text.
    EXPECT_EQ(run_flow(run_search_steps, text), std::pair(std::string(), 1)) << text;
  }
  EXPECT_TRUE(locate_numbers("1 1 1  0 x", false).whole);  // the edges not asked for
}

// The drawing with this title, node lines and arrow lines.
std::string drawing(const std::string& title, const std::string& nodes, const std::string& arrows) {
  return "digraph \"resource-allocation graph\" {\n  labelloc=t;\n  label=\"" + title + "\";\n" +
         nodes + "  node [style=dashed, color=grey, fontcolor=grey];\n" + arrows + "}\n";
}

TEST(Holddraw, DrawsTheGraphItsCyclesTheClaimEdgeAndTheWaitForGraph) {
  const std::string plain_pair = "  \"0\" [shape=circle];\n  \"100\" [shape=box];\n";
  const auto pair = [](const std::string& colour) {
    return "  \"0\" [shape=circle, color=" + colour + ", fontcolor=" + colour +
           "];\n  \"100\" [shape=box, color=" + colour + ", fontcolor=" + colour + "];\n";
  };
  const auto wait_for = [](const std::string& title, const std::string& nodes,
                           const std::string& arrows) {
    return "digraph \"wait-for graph\" {\n  labelloc=t;\n  label=\"Wait-for graph\\n" + title +
           "\";\n" + nodes + arrows + "}\n";
  };
  const std::string amber = "color=\"#c06000\"";
  const std::tuple<int (*)(), const char*, std::string> cases[] = {
      {run_drawer, "0 0 0", drawing("Not deadlocked", "", "")},
      // Duplicates as one arrow, a target naming no node, a source naming none.
      {run_drawer, "2 1 6  0 100  0 -7  0 100  0 100  1 0  5 0",
       drawing("Not deadlocked",
               "  \"0\" [shape=circle];\n  \"1\" [shape=circle];\n  \"100\" [shape=box];\n",
               "  \"0\" -> \"-7\";\n  \"0\" -> \"100\" [label=\"x3\"];\n  \"1\" -> \"0\";\n")},
      {run_drawer, "1 1 2  0 100  100 0  0 100",
       drawing("Deadlocked: 0 -> 100 -> 0\\nWith the claim edge 0 -> 100 the graph is still "
               "deadlocked",
               pair("red"),
               "  \"0\" -> \"100\" [color=red];\n  \"100\" -> \"0\" [color=red];\n"
               "  \"0\" -> \"100\" [style=dashed, " +
                   amber + "];\n")},
      {run_drawer, "1 1 1  0 100  100 0",
       drawing("Not deadlocked\\nThe claim edge 100 -> 0 creates a cycle: 0 -> 100 -> 0",
               pair("\"#c06000\""),
               "  \"0\" -> \"100\" [" + amber + "];\n  \"100\" -> \"0\" [style=dashed, " + amber +
                   "];\n")},
      // Two cycles, both red though the title names one; process 2 waits
      // behind the second.
      {run_drawer, "2 2 5  0 100  100 0  1 101  101 1  2 101",
       drawing("Deadlocked: 0 -> 100 -> 0",
               "  \"0\" [shape=circle, color=red, fontcolor=red];\n"
               "  \"1\" [shape=circle, color=red, fontcolor=red];\n"
               "  \"100\" [shape=box, color=red, fontcolor=red];\n"
               "  \"101\" [shape=box, color=red, fontcolor=red];\n",
               "  \"0\" -> \"100\" [color=red];\n  \"1\" -> \"101\" [color=red];\n"
               "  \"100\" -> \"0\" [color=red];\n  \"101\" -> \"1\" [color=red];\n")},
      {run_drawer, "1 1 1  0 100  5 0",  // a claim edge whose source names no node is not drawn
       drawing("Not deadlocked\\nThe claim edge 5 -> 0 does not create a cycle", plain_pair,
               "  \"0\" -> \"100\";\n")},
      // 0 waits for 1 through 100 and through 101, an arrow each; 1 waits
      // for 0 only once the claim edge 102 -> 0 is in; 2 waits for 1.
      {run_wait_for, "3 3 6  0 100  0 101  100 1  101 1  1 102  2 100  102 0",
       wait_for(
           "Not deadlocked\\nThe claim edge 102 -> 0 creates a cycle: 0 -> 101 -> 1 -> 102 -> 0",
           "  \"0\" [shape=circle, " + amber + ", font" + amber + "];\n  \"1\" [shape=circle, " +
               amber + ", font" + amber + "];\n  \"2\" [shape=circle];\n",
           "  \"0\" -> \"1\" [label=\"100\", " + amber + "];\n  \"0\" -> \"1\" [label=\"101\", " +
               amber + "];\n  \"1\" -> \"0\" [label=\"102\", style=dashed, " + amber +
               "];\n  \"2\" -> \"1\" [label=\"100\"];\n")},
      // A deadlock through an edge from a process to a process, which the
      // wait-for graph cannot show.
      {run_wait_for, "2 1 3  0 1  1 100  100 0",
       wait_for("Deadlocked: 0 -> 1 -> 100 -> 0\\nNot shown: a cycle through an edge from a "
                "process to a process or a resource to a resource",
                "  \"0\" [shape=circle];\n  \"1\" [shape=circle];\n",
                "  \"1\" -> \"0\" [label=\"100\"];\n")},
  };
  for (const auto& [flow, input, expected] : cases) {
    EXPECT_EQ(run_flow(flow, input), std::pair(expected, 0)) << input;
  }
  EXPECT_EQ(run_in_memory(run_drawer, "1 1 x").errors,
            "holddraw: expected the number of edges, found \"x\"\n");
}

}  // namespace
