#include "program_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <stdexcept>

namespace {

// Guards against a program that hangs; a passing run never comes near it.
constexpr int STALL_MS = 20000;

void check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string{what} + " failed");
}

[[noreturn]] void exec_child(const std::string& path, const int in[2], const int out[2],
                             const int err[2], run_options options) {
  std::signal(SIGPIPE, SIG_DFL);
  dup2(in[0], STDIN_FILENO);
  if (options.stdout_path != nullptr) {
    const int fd = open(options.stdout_path, O_WRONLY | O_TRUNC | O_CREAT, 0644);
    dup2(fd, STDOUT_FILENO);
  } else {
    dup2(out[1], STDOUT_FILENO);
  }
  dup2(err[1], STDERR_FILENO);
  for (const int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
  if (options.memory_limit > 0) {
    const rlimit limit{static_cast<rlim_t>(options.memory_limit),
                       static_cast<rlim_t>(options.memory_limit)};
    setrlimit(RLIMIT_AS, &limit);
  }
  execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
  _exit(127);
}

// Reads what is there; false once the pipe has closed.
bool drain(int& fd, std::string& into) {
  char chunk[65536];
  const ssize_t got = read(fd, chunk, sizeof chunk);
  if (got > 0) {
    into.append(chunk, static_cast<std::size_t>(got));
    return true;
  }
  if (got < 0 && errno == EINTR) return true;
  close(fd);
  fd = -1;
  return false;
}

int wait_for(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

live_program start_program(const std::string& path, run_options options) {
  std::signal(SIGPIPE, SIG_IGN);
  int in[2];
  int out[2];
  int err[2];
  check(pipe(in) == 0 && pipe(out) == 0 && pipe(err) == 0, "pipe");
  const pid_t pid = fork();
  check(pid >= 0, "fork");
  if (pid == 0) exec_child(path, in, out, err, options);
  close(in[0]);
  close(out[1]);
  close(err[1]);
  live_program program{pid, in[1], out[0], err[0], {}};
  if (options.stdout_path != nullptr) {
    close(program.out);
    program.out = -1;
  }
  return program;
}

bool read_until(live_program& program, std::string_view text) {
  while (!program.out_so_far.ends_with(text)) {
    pollfd ready{program.out, POLLIN, 0};
    if (program.out < 0 || poll(&ready, 1, STALL_MS) <= 0) return false;
    if (!drain(program.out, program.out_so_far)) return false;
  }
  return true;
}

void feed(live_program& program, std::string_view input) {
  while (!input.empty()) {
    const ssize_t written = write(program.in, input.data(), input.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;  // the program stopped reading
    input.remove_prefix(static_cast<std::size_t>(written));
  }
}

run_result finish(live_program& program) {
  if (program.in >= 0) close(program.in);
  run_result result{program.out_so_far, {}, 0};
  while (program.out >= 0 || program.err >= 0) {
    pollfd ready[2] = {{program.out, POLLIN, 0}, {program.err, POLLIN, 0}};
    check(poll(ready, 2, STALL_MS) > 0, "waiting for output");
    if (ready[0].revents != 0) drain(program.out, result.out);
    if (ready[1].revents != 0) drain(program.err, result.err);
  }
  result.status = wait_for(program.pid);
  return result;
}

run_result run_program(const std::string& path, std::string_view input, run_options options) {
  live_program program = start_program(path, options);
  // Input and output travel at the same time, so neither pipe can fill up and stall.
  fcntl(program.in, F_SETFL, O_NONBLOCK);
  run_result result{{}, {}, 0};
  while (program.out >= 0 || program.err >= 0 || program.in >= 0) {
    pollfd ready[3] = {{program.out, POLLIN, 0},
                       {program.err, POLLIN, 0},
                       {input.empty() ? -1 : program.in, POLLOUT, 0}};
    if (input.empty() && program.in >= 0) {
      close(program.in);
      program.in = -1;
      continue;
    }
    check(poll(ready, 3, STALL_MS) > 0, "waiting for the program");
    if (ready[0].revents != 0) drain(program.out, result.out);
    if (ready[1].revents != 0) drain(program.err, result.err);
    if (ready[2].revents != 0) {
      const ssize_t written = write(program.in, input.data(), input.size());
      if (written > 0) input.remove_prefix(static_cast<std::size_t>(written));
      if (written < 0 && errno != EAGAIN && errno != EINTR) input = {};
    }
  }
  result.status = wait_for(program.pid);
  return result;
}
