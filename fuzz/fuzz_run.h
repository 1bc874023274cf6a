// Runs a program's whole flow on a fuzz input twice: once read in one block,
// and once in blocks of a few bytes, so that every block edge the input has is
// met, and stops the fuzzer when the two runs differ in output or status.
// Each run starts from an empty graph.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "graph_core/console.h"
#include "graph_core/graph.h"
#include "graph_core/reader.h"

inline std::string contents_of(int fd) {
  std::string text(static_cast<std::size_t>(lseek(fd, 0, SEEK_END)), '\0');
  pread(fd, text.data(), text.size(), 0);
  return text;
}

inline void fuzz_run(const std::uint8_t* data, std::size_t size, int (*flow)()) {
  static const int input = memfd_create("fuzz-input", MFD_CLOEXEC);
  static const std::array<int, 2> outputs{memfd_create("one-block", MFD_CLOEXEC),
                                          memfd_create("small-blocks", MFD_CLOEXEC)};
  ftruncate(input, 0);
  pwrite(input, data, size, 0);
  // A block size from the input's length, so the corpus covers several.
  const std::array<std::size_t, 2> block_sizes{size + 1, 1 + size % 7};
  std::array<int, 2> statuses{};
  for (std::size_t run = 0; run < 2; ++run) {
    lseek(input, 0, SEEK_SET);
    ftruncate(outputs[run], 0);
    lseek(outputs[run], 0, SEEK_SET);
    clear_graph();
    use_input(input, block_sizes[run]);
    use_output(outputs[run]);
    statuses[run] = flow();
  }
  if (statuses[0] != statuses[1] || contents_of(outputs[0]) != contents_of(outputs[1])) {
    __builtin_trap();
  }
}
