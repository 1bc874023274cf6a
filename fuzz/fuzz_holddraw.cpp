// Feeds arbitrary bytes through holddraw's whole flow, claim edge included.
#include "drawer.h"
#include "fuzz_run.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz_run(data, size, run_drawer);
  return 0;
}
