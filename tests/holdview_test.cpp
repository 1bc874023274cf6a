// holdview end to end: bytes on stdin, exact stdout, stderr and exit status.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

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

// Compares outputs of megabytes by where they first differ: GoogleTest's line
// by line diff of two such texts would take minutes.
testing::AssertionResult same_text(const std::string& actual, const std::string& expected) {
  const auto first_difference =
      std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end()).first;
  const auto at = static_cast<std::size_t>(first_difference - actual.begin());
  if (actual.size() == expected.size() && at == actual.size()) return testing::AssertionSuccess();
  return testing::AssertionFailure()
         << at << " bytes alike, then \"" << actual.substr(at, 40) << "\" where \""
         << expected.substr(at, 40) << "\" was expected";
}

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
      {"\t+1\r\n\v1\f 001\n\n+0 +100 trailing words are never read",
       "Processes:\n  0\n\nResources:\n  100\n\nRequest Edges:\n  0 -> 100\n\n"
       "Allocation Edges:\n\nAdjacency List:\n  0: 100 \n  100: \n"},
      {"1 1 2  0 -2147483648  100 2147483647",
       "Processes:\n  0\n\nResources:\n  100\n\nRequest Edges:\n  0 -> -2147483648\n\n"
       "Allocation Edges:\n  100 -> 2147483647\n\n"
       "Adjacency List:\n  0: -2147483648 \n  100: 2147483647 \n"},
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
      {"-0002147483649 1 1", true,
       "expected the number of processes, found out-of-range number \"-2147483649\""},
      {"150 1 0", true, "at most 100 processes are supported, got 150"},
      {"1 101 0", true, "at most 100 resources are supported, got 101"},
      {"1 1 3  0 100", false, "input ended before edge 2 of 3"},
      {"1 1 3  0 100  100", false, "input ended in edge 2 of 3"},
      {"1 1 1  1.5", false, "expected edge 1 of 1, found \".5\""},
      {"1 1 1  0 +-5", false, "expected edge 1 of 1, found \"+-5\""},
      {"1 1 1  0 -", false, "expected edge 1 of 1, found \"-\""},
      {{"1 1 1  0 \0\x7f\xe9", 12}, false, "expected edge 1 of 1, found \"\\x00\\x7f\\xe9\""},
      {"1 1 1  a\"b\\c", false, "expected edge 1 of 1, found \"a\\\"b\\\\c\""},
      {"1 1 1  0 99999999999999999999", false,
       "expected edge 1 of 1, found out-of-range number \"99999999999999999999\""},
      {"1 1 1  " + std::string(24, 'x'), false,
       "expected edge 1 of 1, found \"xxxxxxxxxxxxxxxxxxxxxxxx\""},
      {"1 1 1  " + std::string(25, 'x'), false,
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

struct typed_edge {
  int u;
  std::string v;  // the target as the listing writes it
};

// The listing of `edges`, with the adjacency list; nodes 0, 1, 100 and 101.
std::string listing_of(const std::vector<typed_edge>& edges) {
  std::string listing = "Processes:\n  0\n  1\n\nResources:\n  100\n  101\n\n";
  std::string adjacency = "\nAdjacency List:\n";
  for (const int u : {0, 1, 100, 101}) {
    if (u == 0) listing += "Request Edges:\n";
    if (u == 100) listing += "\nAllocation Edges:\n";
    adjacency += "  " + std::to_string(u) + ": ";
    for (auto e = edges.rbegin(); e != edges.rend(); ++e) {
      if (e->u != u) continue;
      listing += "  " + std::to_string(u) + " -> " + e->v + "\n";
      adjacency += e->v + " ";
    }
    adjacency += "\n";
  }
  return listing + adjacency;
}

// Input of several 64 KiB blocks with a number, a sign, a plus sign and a
// number's last digit at a block's edge, and the listing it gives.
struct large_graph {
  std::string input;
  std::string listing;
  std::size_t edges;
};

large_graph large_input_across_block_edges(const std::string& last_word) {
  constexpr std::size_t BLOCK = 65536;
  std::vector<typed_edge> edges;
  std::string body;
  // Adds the edge "u v", its target starting `offset` bytes into the input.
  const auto add_at = [&](std::size_t offset, int u, std::string v) {
    const std::string source = std::to_string(u) + " ";
    body.resize(offset - source.size() - 16, ' ');  // 16: the counts line
    body += source + v + "\n";
    edges.push_back({u, v[0] == '+' ? v.substr(1) : v});
  };
  for (int i = 0; body.size() < BLOCK - 100; ++i) {
    edges.push_back({i % 2 == 0 ? 0 : 101, std::to_string(i * 7919 % 100003)});
    body += std::to_string(edges.back().u) + " " + edges.back().v + "\n";
  }
  add_at(BLOCK - 3, 1, "1234567");    // cut by the block's edge
  add_at(2 * BLOCK - 1, 0, "-42");    // the sign ends the block
  add_at(3 * BLOCK - 3, 100, "987");  // the last digit ends the block
  add_at(4 * BLOCK - 1, 101, "+5");
  add_at(5 * BLOCK - 9, 1, last_word);
  char counts[17];
  std::snprintf(counts, sizeof counts, "2 2 %011zu\n", edges.size());
  return {counts + body, listing_of(edges), edges.size()};
}

TEST(Holdview, ReadsAndWritesAcrossBlockEdges) {
  const large_graph good = large_input_across_block_edges("1");
  // Zeros before the block's edge, then more digits than are quoted.
  const large_graph bad = large_input_across_block_edges("000000000987654321098765432109876543210");
  const std::string edge = "edge " + std::to_string(bad.edges) + " of " + std::to_string(bad.edges);
  for (const std::size_t piece : {std::size_t{0}, std::size_t{7}, std::size_t{4093}}) {
    const run_result run = run_program(HOLDVIEW, good.input, {.pipe_piece = piece});
    EXPECT_TRUE(same_text(run.out, PROMPTS + good.listing)) << "pieces of " << piece;
    EXPECT_EQ(run.status, 0);
    const run_result refused = run_program(HOLDVIEW, bad.input, {.pipe_piece = piece});
    EXPECT_EQ(refused.err, "holdview: expected " + edge +
                               ", found out-of-range number \"987654321098765432109876...\"\n");
  }
}

// Words read as numbers, each with the value it is listed as.
struct number_form {
  std::string word;
  std::string value;
};

const number_form NUMBER_FORMS[] = {
    {"7", "7"},
    {"+7", "7"},
    {"-7", "-7"},
    {"-0", "0"},
    {"0042", "42"},
    {"999", "999"},
    {"-999", "-999"},
    {"+1000", "1000"},
    {"0123456", "123456"},
    {"12345678", "12345678"},
    {"-123456789", "-123456789"},
    {"2147483647", "2147483647"},
    {"-2147483648", "-2147483648"},
    {"+1000000000", "1000000000"},
    {"00000000000000000000099", "99"},  // more digits than any number in range
};
const char* const SOURCES[] = {"0", "+1", "0100", "101"};
const char* const SEPARATORS[] = {" ", "\t", "\r\n", "\n\n", " \v\f ", "    "};

// Edges whose numbers take every form, after every kind of whitespace, at
// every offset in the input; spaces after the counts make the input
// `size` bytes long, when it is not 0.
large_graph every_form_at_every_offset(int edge_count, std::size_t size) {
  std::vector<typed_edge> edges;
  std::string body;
  for (int i = 0; i < edge_count; ++i) {
    const number_form& target = NUMBER_FORMS[i % std::size(NUMBER_FORMS)];
    body += SEPARATORS[i % std::size(SEPARATORS)];
    body += SOURCES[i % std::size(SOURCES)];
    body += SEPARATORS[i / 7 % std::size(SEPARATORS)] + target.word;
    edges.push_back({std::stoi(SOURCES[i % std::size(SOURCES)]), target.value});
  }
  std::string input = "2 2 " + std::to_string(edge_count);
  input.resize(std::max(size, input.size() + body.size() + 1) - body.size() - 1, ' ');
  return {input + body + "\n", listing_of(edges), edges.size()};
}

TEST(Holdview, ReadsEveryFormOfNumberAtEveryOffset) {
  const large_graph blocks = every_form_at_every_offset(70000, 0);
  for (const std::size_t piece : {std::size_t{0}, std::size_t{4093}}) {
    const run_result run = run_program(HOLDVIEW, blocks.input, {.pipe_piece = piece});
    EXPECT_TRUE(same_text(run.out, PROMPTS + blocks.listing)) << "pieces of " << piece;
    EXPECT_EQ(run.status, 0);
  }
  // Numbers up to the last byte of the buffer, which holds one block.
  const large_graph one_block = every_form_at_every_offset(3500, 65536);
  ASSERT_EQ(one_block.input.size(), 65536);
  EXPECT_TRUE(same_text(run_program(HOLDVIEW, one_block.input).out, PROMPTS + one_block.listing));
}

struct deep_bad_word {
  const char* word;     // the target of edge 301 of 400
  const char* message;  // after "holdview: "
};

TEST(Holdview, RefusesABadWordAfterManyGoodEdges) {
  const deep_bad_word cases[] = {
      {"2147483648", "expected edge 301 of 400, found out-of-range number \"2147483648\""},
      {"-2147483649", "expected edge 301 of 400, found out-of-range number \"-2147483649\""},
      {"+-5", "expected edge 301 of 400, found \"+-5\""},
      {"- 5", "expected edge 301 of 400, found \"-\""},
      {"\x01", "expected edge 301 of 400, found \"\\x01\""},
      {"5-3", "input ended in edge 304 of 400"},  // 5 ends edge 301, -3 starts edge 302
  };
  std::string good_edges;
  for (int i = 0; i < 300; ++i) good_edges += "1 " + std::to_string(i * 37) + "\n";
  for (const deep_bad_word& c : cases) {
    // Every offset of the bad word within the reader's 64-byte steps.
    for (std::size_t shift = 0; shift < 64; ++shift) {
      const std::string input = "2 2 400" + std::string(shift + 1, ' ') + good_edges + "0 " +
                                c.word + " 100 1 0 100" + std::string(200, ' ');
      const run_result run = run_program(HOLDVIEW, input);
      ASSERT_EQ(run.err, "holdview: " + std::string{c.message} + "\n") << c.word << shift;
    }
  }
}

TEST(Holdview, ReportsOutOfMemoryForTooManyEdges) {
  if (SANITIZED) GTEST_SKIP() << "sanitizers need more address space than the limit";
  constexpr int EDGES = 4'000'000;  // 16 MB of edges, past the limit
  std::string input = "1 1 " + std::to_string(EDGES) + "\n";
  for (int i = 0; i < EDGES; ++i) input += "0 100\n";
  const run_result run = run_program(HOLDVIEW, input, {.memory_limit = 8L << 20});
  EXPECT_EQ(run.out, PROMPTS);
  EXPECT_EQ(run.err, "holdview: out of memory\n");
  EXPECT_EQ(run.status, 1);
}

TEST(Holdview, EndsWithoutASignalUnderAnyMemoryLimit) {
  if (SANITIZED) GTEST_SKIP() << "sanitizers need more address space than the limit";
  const std::string full = PROMPTS + EXAMPLE_LISTING;
  for (long limit = 3'000'000; limit <= 14'000'000; limit += 100'000) {
    const run_result run = run_program(HOLDVIEW, EXAMPLE_GRAPH, {.memory_limit = limit});
    const bool whole = run.status == 0 && run.out.starts_with(full) && run.err.empty();
    const bool refused = run.status == 1 && std::count(run.err.begin(), run.err.end(), '\n') == 1;
    EXPECT_TRUE(whole || refused) << limit << ": " << run.status << " " << run.err;
  }
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
