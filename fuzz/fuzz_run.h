// Runs a program's whole flow on a fuzz input twice: once read in one block,
// and once in blocks of a few bytes, so that every block edge the input has is
// met, and stops the fuzzer when the two runs differ in what they write or
// their status.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "graph_core/in_memory.h"

inline void fuzz_run(const std::uint8_t* data, std::size_t size, int (*flow)()) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const flow_result whole = run_in_memory(flow, input, size + 1);
  // A block size from the input's length, so the corpus covers several.
  const flow_result split = run_in_memory(flow, input, 1 + size % 7);
  if (whole.status != split.status || whole.output != split.output ||
      whole.errors != split.errors) {
    __builtin_trap();
  }
}
