// The cycle check against Kahn's algorithm on random graphs whose sources
// and targets lie at and past the edges of the node tables.
#include "cycle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
#include <vector>

#include "in_process.h"

namespace {

using edge_list = std::vector<std::pair<std::int32_t, std::int32_t>>;

// Kahn's algorithm: the graph has a cycle when taking away, again and
// again, the nodes that no edge enters leaves some behind.
bool has_cycle(const edge_list& edges) {
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

TEST(CycleCheck, AgreesWithKahnAndNamesACycleOfTheGraph) {
  std::mt19937 random(17);
  const auto pick = [&random](int count) { return static_cast<int>(random() % count); };
  for (int graphs = 0; graphs < 4000; ++graphs) {
    clear_graph();
    const int processes = pick(3) == 0 ? MAX_PER_KIND : pick(5);
    const int resources = pick(3) == 0 ? MAX_PER_KIND : pick(5);
    for (int i = 0; i < processes; ++i) add_process(i);
    for (int i = 0; i < resources; ++i) add_resource(RESOURCE_ID_BASE + i);
    const std::int32_t ids[] = {0,   1,   2,   processes, 98,
                                99,  100, 101, 102,       100 + resources,
                                198, 199, 200, -1,        std::numeric_limits<std::int32_t>::min()};
    edge_list edges;
    for (int e = pick(12); e > 0; --e) {
      edges.emplace_back(ids[pick(10)], ids[pick(std::size(ids))]);
      add_edge(edges.back().first, edges.back().second);
    }
    const int expected = has_cycle(edges) ? 1 : 0;
    ASSERT_EQ(isCyclic(), expected) << graphs;
    const std::vector<std::int32_t> cycle = cycle_found();
    ASSERT_EQ(cycle.empty(), expected == 0);
    for (std::size_t k = 0; k < cycle.size(); ++k) {
      const std::pair step{cycle[k], cycle[(k + 1) % cycle.size()]};
      EXPECT_NE(std::find(edges.begin(), edges.end(), step), edges.end()) << graphs;
    }
    EXPECT_EQ(isCyclic(), expected) << "a second check on the same graph";
  }
}

}  // namespace
