// Runs a built program as a user would: bytes on stdin; stdout, stderr and
// the exit status captured. A program still running after a few seconds is
// ended by SIGALRM, and one that writes more than any test expects by
// SIGXFSZ, so no wait hangs.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>

struct run_result {
  std::string out;
  std::string err;
  int status;  // the exit status, or 128 plus the signal that ended it
};

struct run_options {
  const char* stdout_path = nullptr;  // a file for stdout instead of a capture
  long memory_limit = 0;              // an address-space limit in bytes, 0 for none
  std::size_t pipe_piece = 0;         // feed stdin through a pipe in pieces of this size
};

run_result run_program(const std::string& path, std::string_view input, run_options options = {});

// A program that is still running, with pipes to its stdin and from its stdout.
struct live_program {
  pid_t pid;
  int in;
  int out;
  std::string out_so_far;
};

live_program start_program(const std::string& path);
// Reads stdout until it ends with `text`; false when stdout closes first.
bool read_until(live_program& program, std::string_view text);
// Writes `input` to the program's stdin.
void feed(live_program& program, std::string_view input);
// Closes stdin, waits for the program to end and reads the rest of stdout.
run_result finish(live_program& program);
