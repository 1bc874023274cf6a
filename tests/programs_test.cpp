// The programs end to end, for what only a real process shows: the exit
// status and stderr, prompts on a pipe, failed writes and memory limits.
#include <gtest/gtest.h>

#include <string>

#include "program_runner.h"

namespace {

const std::string LOCKPROBE = LOCKPROBE_PATH;
const std::string HOLDVIEW = HOLDVIEW_PATH;
const std::string HOLDDRAW = HOLDDRAW_PATH;
const std::string COUNTS_PROMPT = "Enter the number of processes, resources, and edges: ";
const std::string EDGES_PROMPT =
    "Enter the edges (resource allocation and request) in the format u v:\n";
const std::string CLAIM_PROMPT = "Enter a claim edge to check if it creates a cycle (format u v): ";
#if defined(__SANITIZE_ADDRESS__)
constexpr bool SANITIZED = true;  // and then in need of more address space than any limit here
#else
constexpr bool SANITIZED = false;
#endif

TEST(Lockprobe, ShowsEachPromptBeforeWaitingOnAPipe) {
  live_program program = start_program(LOCKPROBE);
  ASSERT_TRUE(program.read_until(COUNTS_PROMPT));
  std::fputs("2 2 3\n", program.in);
  ASSERT_TRUE(program.read_until(EDGES_PROMPT));
  std::fputs("0 100\n100 1\n1 101\n", program.in);
  ASSERT_TRUE(program.read_until(CLAIM_PROMPT));
  std::fputs("101 0\n", program.in);
  std::fclose(program.in);
  ASSERT_TRUE(program.read_until("creates a cycle.\n"));
  EXPECT_EQ(exit_status(pclose(program.out)), 0);
  EXPECT_EQ(program.seen,
            COUNTS_PROMPT + EDGES_PROMPT +
                "Processes:\n  0\n  1\n\nResources:\n  100\n  101\n\nRequest Edges:\n"
                "  0 -> 100\n  1 -> 101\n\nAllocation Edges:\n  100 -> 1\n\nThe graph "
                "does not contain a cycle (Not deadlocked).\n" +
                CLAIM_PROMPT + "Adding the edge 101 -> 0 creates a cycle.\n");
}

struct bad_input {
  std::string input;
  std::string message;  // after "program: "
  int prompts;          // how many prompts lockprobe wrote before it stopped
};

TEST(Programs, RefuseBadInputWithOneLineOnStderrAndHolddrawWithNothingOnStdout) {
  const bad_input cases[] = {
      {"", "input ended before the number of processes", 1},
      {"1 1 x3", "expected the number of edges, found \"x3\"", 1},
      {"-0002147483649 1 1",
       "expected the number of processes, found out-of-range number \"-2147483649\"", 1},
      {"150 1 0", "at most 100 processes are supported, got 150", 1},
      {"1 101 0", "at most 100 resources are supported, got 101", 1},
      {"1 1 3  0 100", "input ended before edge 2 of 3", 2},
      {"1 1 3  0 100  100", "input ended in edge 2 of 3", 2},
      {{"1 1 1  0 \0\x7f\xe9\"\\", 14},
       "expected edge 1 of 1, found \"\\x00\\x7f\\xe9\\\"\\\\\"",
       2},
      {"1 1 1  " + std::string(25, 'x'),
       "expected edge 1 of 1, found \"" + std::string(24, 'x') + "...\"", 2},
      // Under the memory limit: a huge edge count reserves nothing up front.
      {"1 1 2000000000  0 100  100 0", "input ended before edge 3 of 2000000000", 2},
      {"1 1 1  0 100  100", "input ended in the claim edge", 3},
      {"1 1 1  0 100  free 0", "expected the claim edge, found \"free\"", 3},
  };
  // Where lockprobe's stdout ends: after its last prompt, on a line of its own.
  const std::string last_prompt[] = {COUNTS_PROMPT + "\n", EDGES_PROMPT, CLAIM_PROMPT + "\n"};
  const std::string limit = SANITIZED ? "" : "ulimit -v 65536;";
  for (const bad_input& c : cases) {
    const run_result checked = run_program(LOCKPROBE, c.input, limit);
    EXPECT_TRUE(checked.out.ends_with(last_prompt[c.prompts - 1])) << c.input;
    EXPECT_EQ(checked.err, "lockprobe: " + c.message + "\n");
    EXPECT_EQ(checked.status, 1);
    const run_result drawn = run_program(HOLDDRAW, c.input, limit);
    EXPECT_EQ(drawn.out, "");
    EXPECT_EQ(drawn.err, "holddraw: " + c.message + "\n");
    EXPECT_EQ(drawn.status, 1);
  }
  EXPECT_EQ(run_program(LOCKPROBE, "0 0 0 ").err, "lockprobe: input ended before the claim edge\n");
}

TEST(Programs, ReportAFailedWrite) {
  for (const std::string& program : {LOCKPROBE, HOLDVIEW, HOLDDRAW}) {
    const run_result run = run_program(program, "1 1 1 0 100 0 0", "", "/dev/full");
    EXPECT_TRUE(run.err.ends_with(": write error: No space left on device\n")) << run.err;
    EXPECT_EQ(run.status, 1);
  }
}

// About twenty seconds: the default suite leaves it out, and CI runs it.
TEST(Lockprobe, DISABLED_ReadsTheLargestEdgeCount) {
  // 2147483647 edges, 8.6 GB of them; all but the last name no node.
  const std::string edges =
      "{ echo 1 1 2147483647; yes 2 2 | head -n 2147483646; echo 100 0 0 100; }";
  const std::string out = testing::TempDir() + "largest-count.out";
  ASSERT_EQ(std::system((edges + " | timeout 120 " + LOCKPROBE + " | tail -n 2 >" + out).c_str()),
            0);
  EXPECT_EQ(contents_of(out), "The graph does not contain a cycle (Not deadlocked).\n" +
                                  CLAIM_PROMPT + "Adding the edge 0 -> 100 creates a cycle.\n");
}

TEST(Holdview, RunsOutOfMemoryCleanlyAndHoldsALongWordInLittle) {
  if (SANITIZED) GTEST_SKIP();
  std::string edges = "1 1 4000000\n";  // 16 MB of edges
  for (int i = 0; i < 4'000'000; ++i) edges += "0 100\n";
  const run_result full = run_program(HOLDVIEW, edges, "ulimit -v 12288;");
  EXPECT_EQ(full.out, COUNTS_PROMPT + EDGES_PROMPT);
  EXPECT_EQ(full.err, "holdview: out of memory\n");
  EXPECT_EQ(full.status, 1);
  const std::string zeros(32 << 20, '0');  // in a number, and in a word out of range
  const run_result number = run_program(HOLDVIEW, "1 1 1  0 -" + zeros + "100", "ulimit -v 12288;");
  EXPECT_TRUE(number.out.ends_with("Adjacency List:\n  0: -100 \n  100: \n")) << number.err;
  EXPECT_EQ(run_program(HOLDVIEW, "1 1 1  0 1" + zeros, "ulimit -v 12288;").err,
            "holdview: expected edge 1 of 1, found out-of-range number \"1" + std::string(23, '0') +
                "...\"\n");
  for (const int kib : {2900, 3400, 4000, 6000, 9000}) {  // either all of it or "out of memory"
    const run_result run =
        run_program(HOLDVIEW, "1 1 1 0 100", "ulimit -v " + std::to_string(kib) + ";");
    const bool whole = run.status == 0 && run.out.ends_with("  0: 100 \n  100: \n");
    const bool refused = run.status == 1 && run.err == "holdview: out of memory\n";
    EXPECT_TRUE(whole || refused) << kib << " KiB: " << run.status << " " << run.err;
  }
}

}  // namespace
