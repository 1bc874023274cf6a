#include "graph_core/in_memory.h"

#include <unistd.h>

#include <cerrno>
#include <new>

#include "graph_core/console.h"
#include "graph_core/graph.h"

// The strings are kept out of the output's own unit, so that the programs,
// which write to files only, need no part of the C++ library.
namespace {

int add_output(void* result, const char* bytes, std::size_t size) {
  try {
    static_cast<flow_result*>(result)->output.append(bytes, size);
    return 0;
  } catch (const std::bad_alloc&) {
    return ENOMEM;
  }
}

void set_report(void* result, const char* line, std::size_t size) {
  static_cast<flow_result*>(result)->errors.assign(line, size);
}

}  // namespace

flow_result run_in_memory(int (*flow)(), std::string_view input, std::size_t block_size) {
  flow_result result;
  const output_sink sink{&result, add_output, set_report};
  clear_graph();
  use_input_text(input, block_size);
  use_output_sink(sink);
  result.status = flow();
  // Nothing reads the text or writes into the result after it is returned.
  use_input(STDIN_FILENO);
  use_output(STDOUT_FILENO);
  return result;
}
