// The programs' flows for the page: each runs on input from memory, with
// what it writes on stdout captured, as it would run on a pipe. What it
// writes on stderr goes to the module's printErr, which the page's worker
// collects.
#include <emscripten/bind.h>
#include <fcntl.h>
#include <unistd.h>

#include <string>

#include "checker.h"
#include "drawer.h"
#include "graph_core/console.h"
#include "graph_core/graph.h"
#include "graph_core/reader.h"
#include "viewer.h"

namespace {

constexpr const char* INPUT_PATH = "/input";
constexpr const char* OUTPUT_PATH = "/output";
constexpr std::size_t BLOCK_SIZE = std::size_t{1} << 16;

struct run_result {
  std::string output;
  int status = 0;
};

void write_file(const char* path, const std::string& text) {
  const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0600);
  for (std::size_t done = 0; done < text.size();) {
    const ssize_t written = write(fd, text.data() + done, text.size() - done);
    if (written <= 0) break;
    done += static_cast<std::size_t>(written);
  }
  close(fd);
}

std::string read_file(const char* path) {
  const int fd = open(path, O_RDONLY);
  std::string text(static_cast<std::size_t>(lseek(fd, 0, SEEK_END)), '\0');
  pread(fd, text.data(), text.size(), 0);
  close(fd);
  return text;
}

// Runs `flow` from an empty graph on `input`; returns its output and exit status.
run_result run(int (*flow)(), const std::string& input) {
  write_file(INPUT_PATH, input);
  const int input_fd = open(INPUT_PATH, O_RDONLY);
  const int output_fd = open(OUTPUT_PATH, O_WRONLY | O_CREAT | O_TRUNC, 0600);
  clear_graph();
  use_input(input_fd, BLOCK_SIZE);
  use_output(output_fd);
  run_result result;
  result.status = flow();
  close(input_fd);
  close(output_fd);
  result.output = read_file(OUTPUT_PATH);
  return result;
}

}  // namespace

EMSCRIPTEN_BINDINGS(engine) {
  emscripten::value_object<run_result>("RunResult")
      .field("output", &run_result::output)
      .field("status", &run_result::status);
  emscripten::function(
      "runChecker", +[](const std::string& input) { return run(run_checker, input); });
  emscripten::function(
      "runViewer", +[](const std::string& input) { return run(run_viewer, input); });
  emscripten::function(
      "runDrawer", +[](const std::string& input) { return run(run_drawer, input); });
}
