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
                         "\nThe graph does not contain a cycle (Not deadlocked).\n" + CLAIM_PROMPT +
                         "Adding the edge 101 -> 0 creates a cycle.\n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.status, 0);
}

struct verdict_case {
  const char* input;
  bool deadlocked;
  const char* claim;
  bool creates;
};

TEST(Lockprobe, JudgesTheGraphBeforeAndAfterTheClaim) {
  const verdict_case cases[] = {
      {"0 0 0  0 0", false, "0 -> 0", false},  // the claim names no node
      {"1 0 0  0 0", false, "0 -> 0", true},   // a self loop
      {"1 1 1  0 100  100 0", false, "100 -> 0", true},
      {"2 2 4  0 100  0 101  100 1  101 1  0 1", false, "0 -> 1", false},  // paths that meet
      {"2 0 1  0 1  1 0", false, "1 -> 0", true},                          // processes only
      {"1 1 2  0 100  100 0  5 5", true, "5 -> 5", true},      // deadlocked, claim dropped
      {"100 1 2  99 100  100 99  0 0", true, "0 -> 0", true},  // 99 and 100 by kind
      // Targets that name no node lead nowhere.
      {"1 1 2  0 1  100 0  7 7", false, "7 -> 7", false},
      {"1 1 2  0 101  100 0  0 -1", false, "0 -> -1", false},
      {"1 1 2  0 -2147483648  100 2147483647  100 99", false, "100 -> 99", false},
      {"0 100 1  100 200  199 200", false, "199 -> 200", false},  // one past the last resource
  };
  for (const verdict_case& c : cases) {
    const run_result run = run_program(LOCKPROBE, c.input);
    const std::string verdicts =
        (c.deadlocked ? "\nThe graph contains a cycle (Deadlocked).\n"
                      : "\nThe graph does not contain a cycle (Not deadlocked).\n") +
        CLAIM_PROMPT + "Adding the edge " + c.claim +
        (c.creates ? " creates a cycle.\n" : " does not create a cycle.\n");
    EXPECT_TRUE(run.out.ends_with(verdicts)) << c.input << "\n" << run.out;
    EXPECT_EQ(run.status, 0) << c.input;
  }
}

struct bad_claim_case {
  const char* claim;
  const char* message;
};

TEST(Lockprobe, RefusesAClaimEdgeThatCannotBeRead) {
  const std::string listing_and_verdict =
      "Processes:\n  0\n\nResources:\n  100\n\nRequest Edges:\n  0 -> 100\n"
      "\nAllocation Edges:\n\nThe graph does not contain a cycle (Not deadlocked).\n";
  const bad_claim_case cases[] = {
      {"", "input ended before the claim edge"},
      {"100", "input ended in the claim edge"},
      {"free 0", "expected the claim edge, found \"free\""},
      {"100 4294967296", "expected the claim edge, found out-of-range number \"4294967296\""},
  };
  for (const bad_claim_case& c : cases) {
    const run_result run = run_program(LOCKPROBE, std::string{"1 1 1  0 100 "} + c.claim);
    EXPECT_EQ(run.out, PROMPTS + listing_and_verdict + CLAIM_PROMPT + "\n") << c.claim;
    EXPECT_EQ(run.err, "lockprobe: " + std::string{c.message} + "\n") << c.claim;
    EXPECT_EQ(run.status, 1) << c.claim;
  }
}

TEST(Lockprobe, ReportsAFailedWrite) {
  const run_result run = run_program(LOCKPROBE, "1 1 1 0 100 0 0", {.stdout_path = "/dev/full"});
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
