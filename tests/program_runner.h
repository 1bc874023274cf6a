// Runs a built program as a user would, through the shell: bytes on stdin;
// stdout, stderr and the exit status captured. A program that spins for
// seconds is ended by SIGXCPU, one that writes more than any test expects by
// SIGXFSZ, and one that waits on a pipe by `timeout`, so no test hangs.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

inline std::string contents_of(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The exit status, or 128 plus the signal that ended the program.
inline int exit_status(int wait_status) {
  return WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : 128 + WTERMSIG(wait_status);
}

struct run_result {
  std::string out;
  std::string err;
  int status;
};

// Runs `program` on `input` after the shell commands `setup`, such as a
// `ulimit -v`, with stdout into the file `stdout_path` when one is given.
inline run_result run_program(const std::string& program, const std::string& input,
                              const std::string& setup = "", std::string stdout_path = "") {
  const std::string files = testing::TempDir() + "run-" + std::to_string(getpid());
  std::ofstream(files + ".in", std::ios::binary) << input;
  const bool captured = stdout_path.empty();
  if (captured) stdout_path = files + ".out";
  const std::string command = "ulimit -t 2; ulimit -f 65536; " + setup + " exec " + program + " <" +
                              files + ".in >" + stdout_path + " 2>" + files + ".err";
  const int status = exit_status(std::system(command.c_str()));
  return {captured ? contents_of(stdout_path) : "", contents_of(files + ".err"), status};
}

// A program running with a pipe on its stdin and one on its stdout and stderr.
struct live_program {
  FILE* in;
  FILE* out;
  std::string seen;  // what it wrote so far

  // Reads on until what it wrote ends with `text`; false when it closes first.
  bool read_until(const std::string& text) {
    for (int c; !seen.ends_with(text); seen += static_cast<char>(c)) {
      if ((c = std::fgetc(out)) == EOF) return false;
    }
    return true;
  }
};

inline live_program start_program(const std::string& program) {
  const std::string fifo = testing::TempDir() + "stdin-" + std::to_string(getpid());
  mkfifo(fifo.c_str(), 0600);
  FILE* const out = popen(("timeout 5 " + program + " <" + fifo + " 2>&1").c_str(), "r");
  FILE* const in = std::fopen(fifo.c_str(), "w");  // once the program's shell opened it
  unlink(fifo.c_str());
  std::setbuf(in, nullptr);
  return {in, out, ""};
}
