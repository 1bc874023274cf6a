// The cycle check, as lockprobe reports it and holddraw draws it, against
// Kahn's algorithm: on the examples and on random graphs whose sources and
// targets lie at and past the edges of the node tables. Graphviz then draws
// every drawing without a warning.
#include "cycle.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "checker.h"
#include "drawer.h"
#include "in_process.h"

namespace {

using edge_set = std::set<std::pair<std::int32_t, std::int32_t>>;

// Kahn's algorithm on the graph's nodes: the edges have a cycle when taking
// away, again and again, the nodes that no edge enters leaves some behind.
bool has_cycle(const edge_set& edges) {
  std::vector<int> entering(node_count());
  for (const auto& [u, v] : edges) {
    if (dense_index_of(u) >= 0 && dense_index_of(v) >= 0) ++entering[dense_index_of(v)];
  }
  std::vector<std::int32_t> free;  // nodes that no edge enters any more
  for (std::int32_t i = 0; i < node_count(); ++i) {
    if (entering[i] == 0) free.push_back(i);
  }
  for (std::size_t taken = 0; taken < free.size(); ++taken) {
    for (const auto& [u, v] : edges) {
      const std::int32_t w = dense_index_of(v);
      if (dense_index_of(u) == free[taken] && w >= 0 && --entering[w] == 0) free.push_back(w);
    }
  }
  return free.size() < static_cast<std::size_t>(node_count());
}

// The arrows of a drawing that are drawn in red.
edge_set red_arrows(const std::string& drawing) {
  edge_set red;
  std::istringstream lines(drawing);
  std::pair<std::int32_t, std::int32_t> a;
  for (std::string line; std::getline(lines, line);) {
    if (std::sscanf(line.c_str(), " \"%d\" -> \"%d\"", &a.first, &a.second) == 2 &&
        line.find("color=red") != std::string::npos) {
      red.insert(a);
    }
  }
  return red;
}

// Whether `arrows` are one cycle, each of them one of `edges`.
bool form_a_cycle(const edge_set& arrows, const edge_set& edges) {
  std::map<std::int32_t, std::int32_t> next;
  for (const auto& a : arrows) {
    if (!edges.contains(a) || !next.insert(a).second) return false;
  }
  std::int32_t node = next.begin()->first;
  for (std::size_t steps = 0; steps < next.size() && next.contains(node); ++steps)
    node = next[node];
  return node == next.begin()->first;
}

std::string random_graph(std::mt19937& random) {
  const auto pick = [&random](int count) { return static_cast<int>(random() % count); };
  const int processes = pick(8) == 0 ? MAX_PER_KIND : pick(5);
  const int resources = pick(8) == 0 ? MAX_PER_KIND : pick(5);
  const std::int32_t ids[] = {0,   1,   2,   processes, 98,
                              99,  100, 101, 102,       100 + resources,
                              198, 199, 200, -1,        std::numeric_limits<std::int32_t>::min()};
  const int edges = pick(12);
  std::string input = std::to_string(processes) + " " + std::to_string(resources) + " " +
                      std::to_string(edges) + "\n";
  for (int e = edges + pick(2); e > 0; --e) {  // and now and then a claim edge
    input += std::to_string(ids[pick(10)]) + " " + std::to_string(ids[pick(std::size(ids))]) + "\n";
  }
  return input;
}

TEST(CycleCheck, AgreesWithKahnAsLockprobeReportsItAndHolddrawDrawsIt) {
  std::vector<std::string> inputs;
  for (const auto& example : std::filesystem::directory_iterator(EXAMPLES_DIR)) {
    if (example.path().extension() != ".txt") continue;  // not the pictures
    std::ifstream file(example.path());
    inputs.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  std::mt19937 random(17);
  while (inputs.size() < 3000) inputs.push_back(random_graph(random));
  std::string drawings;
  for (const std::string& input : inputs) {
    // A claim edge naming no node, for an input without one, changes no verdict.
    const std::string checked = run_flow(run_checker, input + "\n-1 -1").first;
    const std::string drawn = run_flow(run_drawer, input).first;
    std::istringstream numbers(input);
    int count = 0;
    numbers >> count >> count >> count;
    edge_set typed;
    std::pair<std::int32_t, std::int32_t> edge;
    for (; count > 0 && numbers >> edge.first >> edge.second; --count) typed.insert(edge);
    edge_set with_claim = typed;
    if (numbers >> edge.first >> edge.second) with_claim.insert(edge);
    const bool deadlocked = has_cycle(typed);
    const bool closed = has_cycle(with_claim);
    ASSERT_EQ(checked.find("(Deadlocked)") != std::string::npos, deadlocked) << input;
    ASSERT_EQ(checked.ends_with(" creates a cycle.\n"), closed) << input;
    const edge_set red = red_arrows(drawn);
    ASSERT_EQ(!red.empty(), closed) << input << drawn;
    ASSERT_TRUE(red.empty() || form_a_cycle(red, deadlocked ? typed : with_claim)) << drawn;
    drawings += drawn;
  }
  const std::string path = testing::TempDir() + "drawings.dot";
  std::ofstream(path) << drawings;
  FILE* const dot = popen(("timeout 10 dot -Tsvg " + path + " 2>&1 >/dev/null").c_str(), "r");
  char said[512];
  const std::size_t size = std::fread(said, 1, sizeof said, dot);
  EXPECT_EQ(pclose(dot), 0);
  EXPECT_EQ(std::string(said, size), "") << "Graphviz warned";
}

}  // namespace
