// lockprobe's verdicts on random small graphs against a topological sort.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "dialogue_texts.h"
#include "program_runner.h"

namespace {

struct small_graph {
  int processes = 0;
  int resources = 0;
  std::vector<std::pair<int, int>> edges;  // the claim edge last
};

// Ids around both kinds' ranges, the invalid ones included.
int random_id(std::mt19937& random) {
  static const std::vector<int> ids = {-1, 0,   1,   2,   3,   4,   5,   6,   7,
                                       99, 100, 101, 102, 103, 104, 105, 106, 107};
  return ids[std::uniform_int_distribution<std::size_t>(0, ids.size() - 1)(random)];
}

small_graph random_graph(std::mt19937& random) {
  small_graph g;
  g.processes = std::uniform_int_distribution(0, 6)(random);
  g.resources = std::uniform_int_distribution(0, 6)(random);
  const int edges = std::uniform_int_distribution(0, 12)(random) + 1;
  for (int i = 0; i < edges; ++i) g.edges.emplace_back(random_id(random), random_id(random));
  return g;
}

// Node number of an id in this check's own numbering, or -1.
int node_of(const small_graph& g, int id) {
  if (id >= 0 && id < g.processes) return id;
  if (id >= 100 && id < 100 + g.resources) return g.processes + id - 100;
  return -1;
}

// Kahn's algorithm over the first `edge_count` edges: a cycle exists exactly
// when some node never reaches in-degree zero.
bool has_cycle(const small_graph& g, std::size_t edge_count) {
  const int nodes = g.processes + g.resources;
  std::vector<std::vector<int>> out(nodes);
  std::vector<int> in_degree(nodes, 0);
  for (std::size_t i = 0; i < edge_count; ++i) {
    const int from = node_of(g, g.edges[i].first);
    const int to = node_of(g, g.edges[i].second);
    if (from < 0 || to < 0) continue;
    out[from].push_back(to);
    ++in_degree[to];
  }
  std::vector<int> ready;
  for (int n = 0; n < nodes; ++n) {
    if (in_degree[n] == 0) ready.push_back(n);
  }
  int removed = 0;
  while (!ready.empty()) {
    const int n = ready.back();
    ready.pop_back();
    ++removed;
    for (const int to : out[n]) {
      if (--in_degree[to] == 0) ready.push_back(to);
    }
  }
  return removed < nodes;
}

std::string input_of(const small_graph& g) {
  std::string text = std::to_string(g.processes) + " " + std::to_string(g.resources) + " " +
                     std::to_string(g.edges.size() - 1) + "\n";
  for (const auto& [u, v] : g.edges) text += std::to_string(u) + " " + std::to_string(v) + "\n";
  return text;
}

TEST(LockprobeRandomGraphs, VerdictsMatchATopologicalSort) {
  std::mt19937 random(20261206);
  for (int round = 0; round < 2000; ++round) {
    const small_graph g = random_graph(random);
    const auto [u, v] = g.edges.back();
    const std::string expected =
        verdict_lines(has_cycle(g, g.edges.size() - 1)) + CLAIM_PROMPT + "Adding the edge " +
        std::to_string(u) + " -> " + std::to_string(v) +
        (has_cycle(g, g.edges.size()) ? " creates a cycle.\n" : " does not create a cycle.\n");
    const run_result run = run_program(LOCKPROBE_PATH, input_of(g));
    ASSERT_TRUE(run.out.ends_with(expected)) << input_of(g) << "\n" << run.out;
    ASSERT_EQ(run.status, 0);
  }
}

}  // namespace
