// Drives the library and the programs' flows in process: input from bytes
// in memory, output captured, and a deadline for each test.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <string>
#include <string_view>

#include "graph_core/console.h"
#include "graph_core/graph.h"
#include "graph_core/reader.h"

// Each test runs in a process of its own: one caught in a loop ends here,
// in seconds, instead of at CTest's timeout.
inline const unsigned no_deadline_before = alarm(10);
inline const int input_file = memfd_create("input", MFD_CLOEXEC);
inline const int output_file = memfd_create("output", MFD_CLOEXEC);

// Reads `input` from now on, in blocks of `block_size` bytes.
inline void read_from(std::string_view input, std::size_t block_size = std::size_t{1} << 16) {
  ftruncate(input_file, 0);
  pwrite(input_file, input.data(), input.size(), 0);
  lseek(input_file, 0, SEEK_SET);
  use_input(input_file, block_size);
}

// Captures the output from now on, until captured_output() returns it.
inline void capture_output() {
  ftruncate(output_file, 0);
  lseek(output_file, 0, SEEK_SET);
  use_output(output_file);
}

inline std::string captured_output() {
  flush_output();
  std::string text(static_cast<std::size_t>(lseek(output_file, 0, SEEK_CUR)), '\0');
  pread(output_file, text.data(), text.size(), 0);
  return text;
}

// Runs a program's flow on `input` from an empty graph; returns its output
// and exit status.
inline std::pair<std::string, int> run_flow(int (*flow)(), std::string_view input) {
  clear_graph();
  read_from(input);
  capture_output();
  const int status = flow();
  return {captured_output(), status};
}
