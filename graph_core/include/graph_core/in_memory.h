// A program's flow run in memory: on a text, from an empty graph, with what
// it writes kept. The tests, the fuzz harness and the page run the programs
// this way, one run after another in one process.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "graph_core/reader.h"

// What a run wrote on its output and in place of stderr, and its exit status.
struct flow_result {
  std::string output;
  std::string errors;
  int status = 0;
};

// Runs `flow`, a program's flow such as run_checker, on `input`, read at
// most `block_size` bytes at a time, from an empty graph. The edge storage
// of the run before is reused, so that memory stays flat from run to run.
// Returns what it wrote and its exit status.
flow_result run_in_memory(int (*flow)(), std::string_view input,
                          std::size_t block_size = INPUT_BLOCK_SIZE);
