// What each fuzz input starts from: an empty graph, the input's bytes as
// standard input, and output that goes nowhere.
#pragma once

#include <fcntl.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "graph_core/graph.h"
#include "graph_core/text_input.h"
#include "graph_core/text_output.h"

inline void start_fresh_run(const std::uint8_t* data, std::size_t size) {
  static const int nowhere = open("/dev/null", O_WRONLY);
  graph = allocation_graph{};
  use_input_text({reinterpret_cast<const char*>(data), size});
  use_output_fd(nowhere);
}
