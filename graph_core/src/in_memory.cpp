#include "graph_core/in_memory.h"

#include <unistd.h>

#include "graph_core/console.h"
#include "graph_core/graph.h"

flow_result run_in_memory(int (*flow)(), std::string_view input, std::size_t block_size) {
  flow_result result;
  clear_graph();
  use_input_text(input, block_size);
  use_output_text(result.output, result.errors);
  result.status = flow();
  // Nothing reads the text or writes into the result after it is returned.
  use_input(STDIN_FILENO);
  use_output(STDOUT_FILENO);
  return result;
}
