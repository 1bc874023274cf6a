// Feeds arbitrary bytes through lockprobe's whole flow, claim edge included.
#include "checker.h"
#include "fuzz_run.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz_run(data, size, run_checker);
  return 0;
}
