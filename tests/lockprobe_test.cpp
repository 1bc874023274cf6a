// lockprobe end to end: the listing, both verdicts and the claim-edge dialogue.
#include <gtest/gtest.h>

#include <string>

#include "dialogue_texts.h"
#include "program_runner.h"

namespace {

const std::string LOCKPROBE = LOCKPROBE_PATH;

TEST(Lockprobe, ReportsTheClaimThatClosesACycle) {
  const run_result run = run_program(LOCKPROBE, EXAMPLE_GRAPH + "101 0\n");
  EXPECT_EQ(run.out, PROMPTS + EXAMPLE_LISTING +
                         "\n"
                         "The graph does not contain a cycle (Not deadlocked).\n"
                         "Enter a claim edge to check if it creates a cycle (format u v): "
                         "Adding the edge 101 -> 0 creates a cycle.\n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.status, 0);
}

struct verdict_case {
  const char* name;
  std::string input;
  bool deadlocked;
  std::string claim_verdict;
};

TEST(Lockprobe, JudgesTheGraphBeforeAndAfterTheClaim) {
  const verdict_case cases[] = {
      {"no nodes", "0 0 0  0 0", false, "Adding the edge 0 -> 0 does not create a cycle.\n"},
      {"no edges", "2 2 0  0 1", false, "Adding the edge 0 -> 1 does not create a cycle.\n"},
      {"claim loops a process to itself", "1 0 0  0 0", false,
       "Adding the edge 0 -> 0 creates a cycle.\n"},
      {"claim closes a two-cycle", "1 1 1  0 100  100 0", false,
       "Adding the edge 100 -> 0 creates a cycle.\n"},
      {"chain the claim does not close", "2 2 3  0 100  100 1  1 101  0 101", false,
       "Adding the edge 0 -> 101 does not create a cycle.\n"},
      {"two paths that meet", "2 2 4  0 100  0 101  100 1  101 1  0 1", false,
       "Adding the edge 0 -> 1 does not create a cycle.\n"},
      {"self loop typed", "1 0 1  0 0  9 9", true, "Adding the edge 9 -> 9 creates a cycle.\n"},
      {"cycle of processes", "2 0 1  0 1  1 0", false, "Adding the edge 1 -> 0 creates a cycle.\n"},
      {"claim source names no node", "1 1 1  0 100  101 0", false,
       "Adding the edge 101 -> 0 does not create a cycle.\n"},
      {"deadlocked before a dropped claim", "1 1 2  0 100  100 0  5 5", true,
       "Adding the edge 5 -> 5 creates a cycle.\n"},
      {"deadlocked before any claim", "1 1 2  0 100  100 0  0 100", true,
       "Adding the edge 0 -> 100 creates a cycle.\n"},
      {"target past the processes", "1 1 2  0 1  100 0  7 7", false,
       "Adding the edge 7 -> 7 does not create a cycle.\n"},
      {"target past the resources", "1 1 2  0 101  100 0  0 -1", false,
       "Adding the edge 0 -> -1 does not create a cycle.\n"},
      {"extreme targets", "1 1 2  0 -2147483648  100 2147483647  100 99", false,
       "Adding the edge 100 -> 99 does not create a cycle.\n"},
      {"input after the claim is never read", "1 0 0  0 0 not read", false,
       "Adding the edge 0 -> 0 creates a cycle.\n"},
  };
  for (const verdict_case& c : cases) {
    const run_result run = run_program(LOCKPROBE, c.input);
    EXPECT_TRUE(run.out.ends_with(verdict_lines(c.deadlocked) + CLAIM_PROMPT + c.claim_verdict))
        << c.name << "\n"
        << run.out;
    EXPECT_EQ(run.err, "") << c.name;
    EXPECT_EQ(run.status, 0) << c.name;
  }
}

struct bad_claim_case {
  const char* name;
  std::string claim;
  std::string err;
};

TEST(Lockprobe, RefusesAClaimEdgeThatCannotBeRead) {
  const std::string graph = "1 1 1  0 100 ";
  const std::string listing_and_verdict =
      "Processes:\n  0\n\nResources:\n  100\n\nRequest Edges:\n  0 -> 100\n"
      "\nAllocation Edges:\n\nThe graph does not contain a cycle (Not deadlocked).\n";
  const bad_claim_case cases[] = {
      {"no claim", "", "lockprobe: input ended before the claim edge\n"},
      {"claim without a target", "100", "lockprobe: input ended in the claim edge\n"},
      {"claim that is a word", "free 0", "lockprobe: expected the claim edge, found \"free\"\n"},
      {"claim out of range", "100 4294967296",
       "lockprobe: expected the claim edge, found out-of-range number \"4294967296\"\n"},
  };
  for (const bad_claim_case& c : cases) {
    const run_result run = run_program(LOCKPROBE, graph + c.claim);
    EXPECT_EQ(run.out, PROMPTS + listing_and_verdict + CLAIM_PROMPT + "\n") << c.name;
    EXPECT_EQ(run.err, c.err) << c.name;
    EXPECT_EQ(run.status, 1) << c.name;
  }
}

TEST(Lockprobe, PrintsNoListingForACutShortGraph) {
  const run_result run = run_program(LOCKPROBE, "1 1 2 0 100");
  EXPECT_EQ(run.out, PROMPTS);
  EXPECT_EQ(run.err, "lockprobe: input ended before edge 2 of 2\n");
  EXPECT_EQ(run.status, 1);
}

TEST(Lockprobe, ReportsAFailedWrite) {
  const run_result run = run_program(LOCKPROBE, "0 0 0 0 0", {.stdout_path = "/dev/full"});
  EXPECT_EQ(run.err, "lockprobe: write error: No space left on device\n");
  EXPECT_EQ(run.status, 1);
}

TEST(Lockprobe, ShowsTheVerdictAndClaimPromptBeforeWaitingOnAPipe) {
  live_program program = start_program(LOCKPROBE);
  feed(program, "1 1 2  0 100  100 0\n");
  ASSERT_TRUE(read_until(program, "(Deadlocked).\n" + CLAIM_PROMPT));
  feed(program, "0 0\n");
  const run_result run = finish(program);
  EXPECT_TRUE(run.out.ends_with(CLAIM_PROMPT + "Adding the edge 0 -> 0 creates a cycle.\n"));
  EXPECT_EQ(run.status, 0);
}

}  // namespace
