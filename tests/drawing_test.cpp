// holddraw's drawings of small graphs, exactly.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <sstream>
#include <tuple>

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

TEST(Holddraw, CountsEdgesTypedAlikeAcrossBlocks) {
  std::mt19937 random(3);
  std::string input = "1 1 5000\n";
  std::map<std::pair<int, int>, int> typed;
  for (int i = 0; i < 5000; ++i) {  // several blocks a node, each target in many of them
    const std::pair edge{random() % 2 == 0 ? 0 : 100, static_cast<int>(random() % 300) - 100};
    input += std::to_string(edge.first) + " " + std::to_string(edge.second) + "\n";
    ++typed[edge];
  }
  std::vector<std::tuple<int, int, int>> expected;  // by source in table order, then target
  expected.reserve(typed.size());
  for (const auto& [edge, count] : typed) expected.emplace_back(edge.first, edge.second, count);
  std::vector<std::tuple<int, int, int>> drawn;
  std::istringstream lines(run_flow(run_drawer, input + "0 7\n").first);
  for (std::string line; std::getline(lines, line);) {
    int u = 0;
    int v = 0;
    int count = 1;
    const int read = std::sscanf(line.c_str(), " \"%d\" -> \"%d\" [label=\"x%d", &u, &v, &count);
    if (read >= 2 && line.find("dashed") == std::string::npos) drawn.emplace_back(u, v, count);
  }
  EXPECT_EQ(drawn, expected);
}

}  // namespace
