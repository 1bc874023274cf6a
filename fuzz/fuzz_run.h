// Runs a program's whole flow on a fuzz input twice: once read in one block,
// and once in blocks of a few bytes, so that every block edge the input has is
// met. Each run starts from an empty graph and writes its output nowhere.
#pragma once

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>

#include "graph_core/console.h"
#include "graph_core/graph.h"
#include "graph_core/reader.h"

inline void fuzz_run(const std::uint8_t* data, std::size_t size, int (*flow)()) {
  static const int nowhere = open("/dev/null", O_WRONLY | O_CLOEXEC);
  static const int input = memfd_create("fuzz-input", MFD_CLOEXEC);
  ftruncate(input, 0);
  pwrite(input, data, size, 0);
  // A block size from the input's length, so the corpus covers several.
  for (const std::size_t block_size : {size + 1, 1 + size % 7}) {
    lseek(input, 0, SEEK_SET);
    clear_graph();
    use_input(input, block_size);
    use_output(nowhere);
    flow();
  }
}
