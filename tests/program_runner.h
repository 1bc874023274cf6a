// Runs a built program as a user would: given bytes on stdin, its stdout,
// stderr and exit status captured.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

struct run_result {
  std::string out;
  std::string err;
  int status;  // the exit status, or 128 plus the signal that ended it
};

struct run_options {
  const char* stdout_path = nullptr;  // a file for stdout instead of a pipe
  long memory_limit = 0;              // an address-space limit in bytes, 0 for none
};

// Runs the program at `path` on `input` and waits for it to end.
run_result run_program(const std::string& path, std::string_view input, run_options options = {});

// A program that is still running, fed and read a piece at a time.
struct live_program {
  pid_t pid = -1;
  int in = -1;
  int out = -1;
  int err = -1;
  std::string out_so_far;
};

live_program start_program(const std::string& path, run_options options = {});
// Reads stdout until it ends with `text`; false when stdout closes or nothing
// arrives for a long time.
bool read_until(live_program& program, std::string_view text);
// Writes `input` to the program's stdin.
void feed(live_program& program, std::string_view input);
// Closes stdin, reads all that is left and waits for the program to end.
run_result finish(live_program& program);
