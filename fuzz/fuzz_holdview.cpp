// Feeds arbitrary bytes through holdview's whole flow.
#include "fuzz_run.h"
#include "viewer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz_run(data, size, run_viewer);
  return 0;
}
