// holdview end to end: bytes on stdin, exact stdout, stderr and exit status.
#include <gtest/gtest.h>

#include <string>

#include "dialogue_texts.h"
#include "program_runner.h"

namespace {

const std::string HOLDVIEW = HOLDVIEW_PATH;
const std::string EMPTY_LISTING =
    "Processes:\n"
    "\nResources:\n"
    "\nRequest Edges:\n"
    "\nAllocation Edges:\n"
    "\nAdjacency List:\n";

#if defined(__SANITIZE_ADDRESS__)
constexpr bool SANITIZED = true;
#else
constexpr bool SANITIZED = false;
#endif

TEST(Holdview, PrintsTheListingWithItsAdjacencyList) {
  const run_result run = run_program(HOLDVIEW, EXAMPLE_GRAPH);
  EXPECT_EQ(run.out, PROMPTS + EXAMPLE_LISTING +
                         "\n"
                         "Adjacency List:\n"
                         "  0: 100 \n"
                         "  1: 101 \n"
                         "  100: 1 \n"
                         "  101: \n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.status, 0);
}

struct listing_case {
  const char* name;
  std::string input;
  std::string listing;
};

std::string hundred_processes() {
  std::string lines;
  for (int id = 0; id < 100; ++id) lines += "  " + std::to_string(id) + "\n";
  return lines;
}

std::string hundred_adjacency_lines(const std::string& line_of_99) {
  std::string lines;
  for (int id = 0; id < 99; ++id) lines += "  " + std::to_string(id) + ": \n";
  return lines + line_of_99;
}

TEST(Holdview, ListsEveryEdgeAsTypedNewestFirst) {
  const listing_case cases[] = {
      {"newest edge first", "1 2 2  0 100  0 101",
       "Processes:\n  0\n\nResources:\n  100\n  101\n\nRequest Edges:\n  0 -> 101\n  0 -> 100\n"
       "\nAllocation Edges:\n\nAdjacency List:\n  0: 101 100 \n  100: \n  101: \n"},
      {"duplicates kept", "1 1 3  0 100  0 100  100 0",
       "Processes:\n  0\n\nResources:\n  100\n\nRequest Edges:\n  0 -> 100\n  0 -> 100\n"
       "\nAllocation Edges:\n  100 -> 0\n\nAdjacency List:\n  0: 100 100 \n  100: 0 \n"},
      {"sources naming no node dropped", "2 1 5  2 100  -1 100  101 0  99 100  0 100",
       "Processes:\n  0\n  1\n\nResources:\n  100\n\nRequest Edges:\n  0 -> 100\n"
       "\nAllocation Edges:\n\nAdjacency List:\n  0: 100 \n  1: \n  100: \n"},
      {"process to process", "2 0 1  0 1",
       "Processes:\n  0\n  1\n\nResources:\n\nRequest Edges:\n  0 -> 1\n"
       "\nAllocation Edges:\n\nAdjacency List:\n  0: 1 \n  1: \n"},
      {"targets kept unchecked", "1 1 2  0 -7  100 2147483647",
       "Processes:\n  0\n\nResources:\n  100\n\nRequest Edges:\n  0 -> -7\n"
       "\nAllocation Edges:\n  100 -> 2147483647\n\nAdjacency List:\n  0: -7 \n  100: 2147483647 "
       "\n"},
      {"99 is a process and 100 a resource", "100 1 2  99 100  100 99",
       "Processes:\n" + hundred_processes() +
           "\nResources:\n  100\n\nRequest Edges:\n  99 -> 100\n" +
           "\nAllocation Edges:\n  100 -> 99\n\nAdjacency List:\n" +
           hundred_adjacency_lines("  99: 100 \n") + "  100: 99 \n"},
      {"no nodes", "0 0 0", EMPTY_LISTING},
      {"counts of 0 or less read no edge", "-1 -5 -3  0 100", EMPTY_LISTING},
      {"smallest count", "-2147483648 0 0", EMPTY_LISTING},
      {"signs and every kind of whitespace", "\t+1\r\n\v1\f 1\n\n+0 +100 trailing words",
       "Processes:\n  0\n\nResources:\n  100\n\nRequest Edges:\n  0 -> 100\n"
       "\nAllocation Edges:\n\nAdjacency List:\n  0: 100 \n  100: \n"},
      {"one number per line", "1\n1\n1\n0\n100\n",
       "Processes:\n  0\n\nResources:\n  100\n\nRequest Edges:\n  0 -> 100\n"
       "\nAllocation Edges:\n\nAdjacency List:\n  0: 100 \n  100: \n"},
      {"nodes without edges", "3 2 0",
       "Processes:\n  0\n  1\n  2\n\nResources:\n  100\n  101\n\nRequest Edges:\n"
       "\nAllocation Edges:\n\nAdjacency List:\n  0: \n  1: \n  2: \n  100: \n  101: \n"},
  };
  for (const listing_case& c : cases) {
    const run_result run = run_program(HOLDVIEW, c.input);
    EXPECT_EQ(run.out, PROMPTS + c.listing) << c.name;
    EXPECT_EQ(run.err, "") << c.name;
    EXPECT_EQ(run.status, 0) << c.name;
  }
}

struct bad_input_case {
  const char* name;
  std::string input;
  std::string out;
  std::string err;
};

TEST(Holdview, RefusesBadInputWithOneLineOnStderr) {
  const std::string cut_in_counts = COUNTS_PROMPT + "\n";
  const bad_input_case cases[] = {
      {"empty input", "", cut_in_counts, "holdview: input ended before the number of processes\n"},
      {"only whitespace", " \n\t", cut_in_counts,
       "holdview: input ended before the number of processes\n"},
      {"letter in a count", "1 1 x3", cut_in_counts,
       "holdview: expected the number of edges, found \"x3\"\n"},
      {"lone sign", "1 - 1", cut_in_counts,
       "holdview: expected the number of resources, found \"-\"\n"},
      {"count above int range", "2147483648 1 1", cut_in_counts,
       "holdview: expected the number of processes, found out-of-range number \"2147483648\"\n"},
      {"count below int range", "-2147483649 1 1", cut_in_counts,
       "holdview: expected the number of processes, found out-of-range number \"-2147483649\"\n"},
      {"too many processes", "150 1 0", cut_in_counts,
       "holdview: at most 100 processes are supported, got 150\n"},
      {"too many resources", "1 101 0", cut_in_counts,
       "holdview: at most 100 resources are supported, got 101\n"},
      {"edges end early", "1 1 3  0 100", PROMPTS, "holdview: input ended before edge 2 of 3\n"},
      {"edge ends after its source", "1 1 3  0 100  100", PROMPTS,
       "holdview: input ended in edge 2 of 3\n"},
      {"decimal point", "1 1 1  1.5", PROMPTS, "holdview: expected edge 1 of 1, found \".5\"\n"},
      {"NUL byte", std::string{"1 1 1  0 \0 1", 11}, PROMPTS,
       "holdview: expected edge 1 of 1, found \"\\x00\"\n"},
      {"edge id out of range", "1 1 1  0 99999999999999999999", PROMPTS,
       "holdview: expected edge 1 of 1, found out-of-range number \"99999999999999999999\"\n"},
      {"long word cut short", "1 1 1  " + std::string(40, 'x'), PROMPTS,
       "holdview: expected edge 1 of 1, found \"xxxxxxxxxxxxxxxxxxxxxxxx...\"\n"},
      {"huge edge count", "1 1 2000000000  0 100  100 0", PROMPTS,
       "holdview: input ended before edge 3 of 2000000000\n"},
  };
  for (const bad_input_case& c : cases) {
    const run_result run = run_program(HOLDVIEW, c.input);
    EXPECT_EQ(run.out, c.out) << c.name;
    EXPECT_EQ(run.err, c.err) << c.name;
    EXPECT_EQ(run.status, 1) << c.name;
  }
}

TEST(Holdview, HugeEdgeCountReservesNothingUpFront) {
  if (SANITIZED) GTEST_SKIP() << "sanitizers need more address space than the limit";
  const run_result run =
      run_program(HOLDVIEW, "1 1 2000000000  0 100", {.memory_limit = 64L << 20});
  EXPECT_EQ(run.err, "holdview: input ended before edge 2 of 2000000000\n");
  EXPECT_EQ(run.status, 1);
}

TEST(Holdview, ReportsOutOfMemoryForTooManyEdges) {
  if (SANITIZED) GTEST_SKIP() << "sanitizers need more address space than the limit";
  constexpr int EDGES = 8'000'000;  // 64 MB of edge records, past the limit
  std::string input = "1 1 " + std::to_string(EDGES) + "\n";
  for (int i = 0; i < EDGES; ++i) input += "0 100\n";
  const run_result run = run_program(HOLDVIEW, input, {.memory_limit = 48L << 20});
  EXPECT_EQ(run.out, PROMPTS);
  EXPECT_EQ(run.err, "holdview: out of memory\n");
  EXPECT_EQ(run.status, 1);
}

TEST(Holdview, ReportsAFailedWrite) {
  const run_result run = run_program(HOLDVIEW, "1 1 1 0 100", {.stdout_path = "/dev/full"});
  EXPECT_EQ(run.err, "holdview: write error: No space left on device\n");
  EXPECT_EQ(run.status, 1);
}

TEST(Holdview, ShowsEachPromptBeforeWaitingOnAPipe) {
  live_program program = start_program(HOLDVIEW);
  ASSERT_TRUE(read_until(program, COUNTS_PROMPT));
  feed(program, "1 1 1\n");
  ASSERT_TRUE(read_until(program, EDGES_PROMPT));
  feed(program, "100 0\n");
  const run_result run = finish(program);
  EXPECT_EQ(run.out, PROMPTS +
                         "Processes:\n  0\n\nResources:\n  100\n\nRequest Edges:\n"
                         "\nAllocation Edges:\n  100 -> 0\n\nAdjacency List:\n  0: \n  100: 0 \n");
  EXPECT_EQ(run.status, 0);
}

}  // namespace
