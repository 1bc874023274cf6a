// Feeds arbitrary bytes through holddraw's whole flow, claim edge included,
// through its wait-for graph, and through the notes the page lists on them.
#include "drawer.h"
#include "fuzz_run.h"
#include "graph_core/number_spans.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz_run(data, size, run_drawer);
  fuzz_run(data, size, run_wait_for);
  // The notes of a text the programs refuse are none, and the notes kept are
  // the first of all there are.
  const text_notes noted = note_text({reinterpret_cast<const char*>(data), size}, 3);
  if ((!noted.whole && noted.total != 0) || noted.notes.size() > noted.total) __builtin_trap();
  return 0;
}
