#include "graph_core/program_exit.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "graph_core/text_output.h"

int exit_with_error(std::string_view program, std::string_view message) {
  end_output_line();
  flush_output();
  std::string line{program};
  line += ": ";
  line += message;
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), stderr);
  return 1;
}

int exit_after_output(std::string_view program) {
  flush_output();
  if (const int error = output_error()) {
    return exit_with_error(program, std::string{"write error: "} + std::strerror(error));
  }
  return 0;
}
