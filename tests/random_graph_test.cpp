// lockprobe's verdicts on random small graphs against a topological sort.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <vector>

#include "dialogue_texts.h"
#include "program_runner.h"

namespace {

struct small_graph {
  int processes;
  int resources;
  std::vector<std::pair<int, int>> edges;  // the claim edge last
};

// Node number in this check's own numbering, or -1 for an id that names none.
int node_of(const small_graph& g, int id) {
  if (id >= 0 && id < g.processes) return id;
  if (id >= 100 && id < 100 + g.resources) return g.processes + id - 100;
  return -1;
}

// Kahn's algorithm over the first `edge_count` edges: the graph has a cycle
// exactly when some node never runs out of incoming edges.
bool has_cycle(const small_graph& g, std::size_t edge_count) {
  std::vector<std::vector<int>> out(g.processes + g.resources);
  std::vector<int> in_degree(out.size(), 0);
  for (std::size_t i = 0; i < edge_count; ++i) {
    const int from = node_of(g, g.edges[i].first);
    const int to = node_of(g, g.edges[i].second);
    if (from < 0 || to < 0) continue;
    out[from].push_back(to);
    ++in_degree[to];
  }
  std::vector<int> free;
  for (std::size_t n = 0; n < out.size(); ++n) {
    if (in_degree[n] == 0) free.push_back(static_cast<int>(n));
  }
  std::size_t removed = 0;
  for (; !free.empty(); ++removed) {
    const int n = free.back();
    free.pop_back();
    for (const int to : out[n]) {
      if (--in_degree[to] == 0) free.push_back(to);
    }
  }
  return removed < out.size();
}

TEST(LockprobeRandomGraphs, VerdictsMatchATopologicalSort) {
  // Ids in and around both kinds' ranges, the ones naming no node included.
  constexpr std::array IDS = {-1, 0,   1,   2,   3,   4,   5,   6,   7,
                              99, 100, 101, 102, 103, 104, 105, 106, 107};
  std::mt19937 random(20261206);
  const auto pick = [&random](int low, int high) {
    return std::uniform_int_distribution(low, high)(random);
  };
  for (int round = 0; round < 2000; ++round) {
    small_graph g{pick(0, 6), pick(0, 6), {}};
    const int edges = pick(0, 12);
    std::string input = std::to_string(g.processes) + " " + std::to_string(g.resources) + " " +
                        std::to_string(edges) + "\n";
    for (int i = 0; i <= edges; ++i) {
      g.edges.emplace_back(IDS[pick(0, IDS.size() - 1)], IDS[pick(0, IDS.size() - 1)]);
      input +=
          std::to_string(g.edges.back().first) + " " + std::to_string(g.edges.back().second) + "\n";
    }
    const std::string claim =
        std::to_string(g.edges.back().first) + " -> " + std::to_string(g.edges.back().second);
    const std::string verdicts = verdict_lines(has_cycle(g, g.edges.size() - 1)) + CLAIM_PROMPT +
                                 claim_verdict(claim, has_cycle(g, g.edges.size()));
    const run_result run = run_program(LOCKPROBE_PATH, input);
    ASSERT_TRUE(run.out.ends_with(verdicts)) << input << "\n" << run.out;
  }
}

}  // namespace
