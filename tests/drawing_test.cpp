// holddraw's drawings: exact for small graphs; on random graphs and the
// examples, red arrows that form a cycle of the graph exactly when lockprobe
// reports one, and DOT that Graphviz draws without a warning.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "checker.h"
#include "drawer.h"
#include "in_process.h"

namespace {

// The drawing with this title, node lines and arrow lines.
std::string drawing(const std::string& title, const std::string& nodes, const std::string& arrows) {
  return "digraph \"resource-allocation graph\" {\n  labelloc=t;\n  label=\"" + title + "\";\n" +
         nodes + "  node [style=dashed, color=grey, fontcolor=grey];\n" + arrows + "}\n";
}

TEST(Holddraw, DrawsTheGraphItsCycleAndTheClaimEdge) {
  const std::string plain_pair = "  \"0\" [shape=circle];\n  \"100\" [shape=box];\n";
  const std::string red_pair =
      "  \"0\" [shape=circle, color=red, fontcolor=red];\n"
      "  \"100\" [shape=box, color=red, fontcolor=red];\n";
  const std::pair<const char*, std::string> cases[] = {
      {"0 0 0", drawing("Not deadlocked", "", "")},
      // Duplicates as one arrow, a target naming no node, a source naming none.
      {"2 1 6  0 100  0 -7  0 100  0 100  1 0  5 0",
       drawing("Not deadlocked",
               "  \"0\" [shape=circle];\n  \"1\" [shape=circle];\n  \"100\" [shape=box];\n",
               "  \"0\" -> \"-7\";\n  \"0\" -> \"100\" [label=\"x3\"];\n  \"1\" -> \"0\";\n")},
      {"1 1 2  0 100  100 0  0 100",
       drawing("Deadlocked: 0 -> 100 -> 0\\nWith the claim edge 0 -> 100 the graph is still "
               "deadlocked",
               red_pair,
               "  \"0\" -> \"100\" [color=red];\n  \"100\" -> \"0\" [color=red];\n"
               "  \"0\" -> \"100\" [style=dashed];\n")},
      {"1 1 1  0 100  100 0",
       drawing("Not deadlocked\\nThe claim edge 100 -> 0 creates a cycle: 0 -> 100 -> 0", red_pair,
               "  \"0\" -> \"100\" [color=red];\n  \"100\" -> \"0\" [style=dashed, color=red];\n")},
      {"1 1 1  0 100  100 7",
       drawing("Not deadlocked\\nThe claim edge 100 -> 7 does not create a cycle", plain_pair,
               "  \"0\" -> \"100\";\n  \"100\" -> \"7\" [style=dashed];\n")},
      {"1 1 1  0 100  5 0",  // a claim edge whose source names no node is not drawn
       drawing("Not deadlocked\\nThe claim edge 5 -> 0 does not create a cycle", plain_pair,
               "  \"0\" -> \"100\";\n")},
  };
  for (const auto& [input, expected] : cases) {
    EXPECT_EQ(run_flow(run_drawer, input), std::pair(expected, 0)) << input;
  }
}

using arrow = std::pair<int, int>;

std::set<arrow> red_arrows(const std::string& drawing) {
  std::set<arrow> red;
  std::istringstream lines(drawing);
  arrow a;
  for (std::string line; std::getline(lines, line);) {
    if (std::sscanf(line.c_str(), " \"%d\" -> \"%d\"", &a.first, &a.second) == 2 &&
        line.find("color=red") != std::string::npos) {
      red.insert(a);
    }
  }
  return red;
}

// Whether `arrows` form one cycle, each an edge typed in `input`.
bool form_a_cycle(const std::set<arrow>& arrows, const std::string& input) {
  std::istringstream numbers(input);
  int count = 0;
  numbers >> count >> count >> count;
  std::set<arrow> typed;
  for (arrow edge; numbers >> edge.first >> edge.second;) typed.insert(edge);
  std::map<int, int> next;
  for (const arrow& a : arrows) {
    if (!typed.contains(a) || !next.emplace(a).second) return false;
  }
  int node = next.begin()->first;
  for (std::size_t steps = 0; steps < next.size() && next.contains(node); ++steps)
    node = next[node];
  return node == next.begin()->first;
}

std::string random_graph(std::mt19937& random) {
  const int ids[] = {0, 1, 2, 3, 100, 101, 102, 103, -7};
  const unsigned edges = random() % 8;
  std::string input = std::to_string(random() % 4) + " " + std::to_string(random() % 4) + " " +
                      std::to_string(edges) + "\n";
  for (unsigned e = edges + random() % 2; e > 0; --e) {  // and now and then a claim edge
    input += std::to_string(ids[random() % 9]) + " " + std::to_string(ids[random() % 9]) + "\n";
  }
  return input;
}

TEST(Holddraw, DrawsInRedTheCycleLockprobeReports) {
  std::vector<std::string> inputs;
  for (const auto& example : std::filesystem::directory_iterator(EXAMPLES_DIR)) {
    if (example.path().extension() != ".txt") continue;  // not the pictures
    std::ifstream file(example.path());
    inputs.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  std::mt19937 random(11);
  while (inputs.size() < 3000) inputs.push_back(random_graph(random));
  std::string drawings;
  for (const std::string& input : inputs) {
    const std::string drawn = run_flow(run_drawer, input).first;
    // A claim edge naming no node, for an input without one, changes no verdict.
    const std::string checked = run_flow(run_checker, input + "\n-1 -1").first;
    const std::set<arrow> red = red_arrows(drawn);
    ASSERT_EQ(!red.empty(), checked.ends_with(" creates a cycle.\n")) << input << drawn;
    ASSERT_TRUE(red.empty() || form_a_cycle(red, input)) << input << drawn;
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
