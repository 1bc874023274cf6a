// The number writer against std::to_chars, and the listing, which writes
// through it a room at a time, against a plain listing.
#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <vector>

#include "in_process.h"
#include "number_text.h"

namespace {

constexpr std::int32_t MIN = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t MAX = std::numeric_limits<std::int32_t>::max();

TEST(NumberText, WritesAsToCharsWithinItsRoom) {
  std::vector<std::int64_t> values{MIN, MAX};
  for (std::int64_t power = 1; power <= MAX; power *= 10) {
    values.insert(values.end(), {power - 1, power, power + 1, 1 - power, -power, -1 - power});
  }
  std::mt19937 random(5);
  for (int i = 0; i < 100000; ++i) values.push_back(static_cast<std::int32_t>(random()) >> i % 32);
  for (const std::int64_t value : values) {
    if (value < MIN || value > MAX) continue;
    std::string room(DECIMAL_ROOM + 8, '#');
    const char* const end = write_decimal(room.data(), static_cast<std::int32_t>(value));
    EXPECT_EQ(room.substr(0, end - room.data()), std::to_string(value));
    EXPECT_EQ(room.substr(DECIMAL_ROOM), "########") << value << " written past its room";
  }
}

TEST(NumberText, WritesTheWidestNumbersAcrossTheBufferEnd) {
  for (std::size_t shift = 0; shift < DECIMAL_ROOM; ++shift) {  // every alignment
    capture_output();
    std::string expected(shift, ' ');
    put_text(expected);
    for (int i = 0; i < 20000; ++i, expected += "-2147483648") put_int(MIN);
    ASSERT_EQ(captured_output(), expected) << shift;
  }
}

// The listing of `edges`, as typed, written plainly from its rules.
std::string plain_listing(int processes, int resources,
                          const std::vector<std::pair<int, int>>& edges) {
  std::string nodes[2];
  std::string lines[2];
  std::string adjacency;
  for (int kind = 0; kind < 2; ++kind) {
    for (int id = kind * 100; id < kind * 100 + (kind == 0 ? processes : resources); ++id) {
      nodes[kind] += "  " + std::to_string(id) + "\n";
      adjacency += "  " + std::to_string(id) + ": ";
      for (auto edge = edges.rbegin(); edge != edges.rend(); ++edge) {
        if (edge->first != id) continue;
        lines[kind] += "  " + std::to_string(id) + " -> " + std::to_string(edge->second) + "\n";
        adjacency += std::to_string(edge->second) + " ";
      }
      adjacency += "\n";
    }
  }
  return "Processes:\n" + nodes[0] + "\nResources:\n" + nodes[1] + "\nRequest Edges:\n" + lines[0] +
         "\nAllocation Edges:\n" + lines[1] + "\nAdjacency List:\n" + adjacency;
}

TEST(Listing, ListsEveryEdgeNewestFirstAcrossBlocksAndBufferEnds) {
  std::mt19937 random(9);
  const int sources[] = {0, 1, 2, 100, 101, 3, 102, -1, 99};  // the last four name no node
  std::vector<std::pair<int, int>> edges;
  clear_graph();
  for (int id : {0, 1, 2}) add_process(id);
  for (int id : {100, 101}) add_resource(id);
  for (int i = 0; i < 70000; ++i) {
    edges.emplace_back(sources[random() % 9], static_cast<std::int32_t>(random()) >> i % 32);
    ASSERT_EQ(add_edge(edges.back().first, edges.back().second), 1);
  }
  capture_output();
  display_graph(1);
  EXPECT_TRUE(captured_output() == plain_listing(3, 2, edges)) << "unlike the plain listing";
}

}  // namespace
