// The number writer against std::to_chars, within its room; and the output
// buffer filled to its last byte.
#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <vector>

#include "graph_core/console.h"
#include "graph_core/in_memory.h"
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

// One byte, then pieces of two: the buffer, of an even size, is once one
// byte short of full when the next piece comes.
constexpr int PIECES = 100000;

TEST(Output, FillsItsBufferToTheLastByte) {
  const flow_result result = run_in_memory(
      +[] {
        put_text("a");
        for (int i = 0; i < PIECES; ++i) put_text("bc");
        return end_run("test");
      },
      "");
  std::string expected = "a";
  for (int i = 0; i < PIECES; ++i) expected += "bc";
  EXPECT_TRUE(result.output == expected);  // not printed when it fails: too long
}

}  // namespace
