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
  const char* stdout_path = nullptr;  // a file for stdout instead of a capture
  long memory_limit = 0;              // an address-space limit in bytes, 0 for none
};

// Runs the program at `path` on `input` and waits for it to end.
run_result run_program(const std::string& path, std::string_view input, run_options options = {});

// A program that is still running, its stdin and stdout pipes; stderr is dropped.
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
// Closes stdin, reads the rest of stdout and waits for the program to end.
run_result finish(live_program& program);
