// holdview end to end: bytes on stdin, exact stdout, stderr and exit status.
#include <gtest/gtest.h>

#include <string>

#include "dialogue_texts.h"
#include "program_runner.h"

namespace {

const std::string HOLDVIEW = HOLDVIEW_PATH;
const std::string EMPTY_LISTING =
    "Processes:\n\nResources:\n\nRequest Edges:\n\nAllocation Edges:\n\nAdjacency List:\n";

#if defined(__SANITIZE_ADDRESS__)
constexpr bool SANITIZED = true;
#else
constexpr bool SANITIZED = false;
#endif

TEST(Holdview, PrintsTheListingWithItsAdjacencyList) {
  const run_result run = run_program(HOLDVIEW, EXAMPLE_GRAPH);
  EXPECT_EQ(run.out, PROMPTS + EXAMPLE_LISTING +
                         "\nAdjacency List:\n  0: 100 \n  1: 101 \n  100: 1 \n  101: \n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.status, 0);
}

struct listing_case {
  const char* input;
  std::string listing;
};

TEST(Holdview, ListsEveryEdgeAsTypedNewestFirst) {
  const listing_case cases[] = {
      // Newest first, a duplicate, a process-to-process edge, a target naming
      // no node, and four sources naming no node.
      {"2 2 9  0 100  0 101  0 100  0 1  100 -7  5 100  -1 0  102 0  99 100",
       "Processes:\n  0\n  1\n\nResources:\n  100\n  101\n\n"
       "Request Edges:\n  0 -> 1\n  0 -> 100\n  0 -> 101\n  0 -> 100\n\n"
       "Allocation Edges:\n  100 -> -7\n\n"
       "Adjacency List:\n  0: 1 100 101 100 \n  1: \n  100: -7 \n  101: \n"},
      {"3 2 0",
       "Processes:\n  0\n  1\n  2\n\nResources:\n  100\n  101\n\nRequest Edges:\n\n"
       "Allocation Edges:\n\nAdjacency List:\n  0: \n  1: \n  2: \n  100: \n  101: \n"},
      {"\t+1\r\n\v1\f 1\n\n+0 +100 trailing words are never read",
       "Processes:\n  0\n\nResources:\n  100\n\nRequest Edges:\n  0 -> 100\n\n"
       "Allocation Edges:\n\nAdjacency List:\n  0: 100 \n  100: \n"},
      {"0 0 0", EMPTY_LISTING},
      {"-2147483648 -5 -3  0 100", EMPTY_LISTING},
  };
  for (const listing_case& c : cases) {
    const run_result run = run_program(HOLDVIEW, c.input);
    EXPECT_EQ(run.out, PROMPTS + c.listing) << c.input;
    EXPECT_EQ(run.err, "") << c.input;
    EXPECT_EQ(run.status, 0) << c.input;
  }
}

struct bad_input_case {
  std::string input;
  bool in_counts;  // stdout then ends right after the first prompt
  const char* message;
};

TEST(Holdview, RefusesBadInputWithOneLineOnStderr) {
  const bad_input_case cases[] = {
      {"", true, "input ended before the number of processes"},
      {"1 1 x3", true, "expected the number of edges, found \"x3\""},
      {"1 - 1", true, "expected the number of resources, found \"-\""},
      {"2147483648 1 1", true,
       "expected the number of processes, found out-of-range number \"2147483648\""},
      {"-2147483649 1 1", true,
       "expected the number of processes, found out-of-range number \"-2147483649\""},
      {"150 1 0", true, "at most 100 processes are supported, got 150"},
      {"1 101 0", true, "at most 100 resources are supported, got 101"},
      {"1 1 3  0 100", false, "input ended before edge 2 of 3"},
      {"1 1 3  0 100  100", false, "input ended in edge 2 of 3"},
      {"1 1 1  1.5", false, "expected edge 1 of 1, found \".5\""},
      {{"1 1 1  0 \0 1", 11}, false, "expected edge 1 of 1, found \"\\x00\""},
      {"1 1 1  0 99999999999999999999", false,
       "expected edge 1 of 1, found out-of-range number \"99999999999999999999\""},
      {"1 1 1  " + std::string(40, 'x'), false,
       "expected edge 1 of 1, found \"xxxxxxxxxxxxxxxxxxxxxxxx...\""},
      {"1 1 2000000000  0 100  100 0", false, "input ended before edge 3 of 2000000000"},
  };
  // The limit shows that a huge edge count reserves nothing up front.
  const run_options limited{.memory_limit = SANITIZED ? 0 : 64L << 20};
  for (const bad_input_case& c : cases) {
    const run_result run = run_program(HOLDVIEW, c.input, limited);
    EXPECT_EQ(run.out, c.in_counts ? COUNTS_PROMPT + "\n" : PROMPTS) << c.input;
    EXPECT_EQ(run.err, "holdview: " + std::string{c.message} + "\n") << c.input;
    EXPECT_EQ(run.status, 1) << c.input;
  }
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
  EXPECT_TRUE(run.out.ends_with("\nAdjacency List:\n  0: \n  100: 0 \n"));
  EXPECT_EQ(run.status, 0);
}

}  // namespace
