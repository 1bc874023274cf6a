#include "program_runner.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>

namespace {

constexpr unsigned DEADLINE_SECONDS = 5;
// More output than any test expects: a program that writes past it, as one
// caught in a loop would, ends at once instead of filling memory until the deadline.
constexpr rlim_t OUTPUT_LIMIT = rlim_t{16} << 20;

void write_all(int fd, std::string_view bytes, std::size_t piece) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), std::min(piece, bytes.size()));
    if (written <= 0) return;  // the program stopped reading
    bytes.remove_prefix(written);
  }
}

// Reads `fd` from where it stands to its end.
std::string read_rest(int fd) {
  std::string text;
  char chunk[65536];
  for (ssize_t got; (got = read(fd, chunk, sizeof chunk)) > 0;) text.append(chunk, got);
  return text;
}

int memory_file(std::string_view bytes) {
  const int fd = memfd_create("run", MFD_CLOEXEC);
  write_all(fd, bytes, bytes.size());
  lseek(fd, 0, SEEK_SET);
  return fd;
}

// A child that writes `input` into a new pipe in pieces; returns the pipe's reading end.
int feeding_pipe(std::string_view input, std::size_t piece) {
  int ends[2];
  pipe2(ends, O_CLOEXEC);
  if (fork() == 0) {
    close(ends[0]);  // else a program that stops reading would leave it blocked for ever
    write_all(ends[1], input, piece);
    _exit(0);
  }
  close(ends[1]);
  return ends[0];
}

pid_t spawn(const std::string& path, int in, int out, int err, long memory_limit) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  std::signal(SIGPIPE, SIG_DFL);
  dup2(in, STDIN_FILENO);
  dup2(out, STDOUT_FILENO);
  dup2(err, STDERR_FILENO);
  if (memory_limit > 0) {
    const rlimit limit{static_cast<rlim_t>(memory_limit), static_cast<rlim_t>(memory_limit)};
    setrlimit(RLIMIT_AS, &limit);
  }
  const rlimit output_limit{OUTPUT_LIMIT, OUTPUT_LIMIT};
  setrlimit(RLIMIT_FSIZE, &output_limit);
  alarm(DEADLINE_SECONDS);  // both outlive exec
  execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
  _exit(127);
}

int wait_for(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

run_result run_program(const std::string& path, std::string_view input, run_options options) {
  std::signal(SIGPIPE, SIG_IGN);
  const int in =
      options.pipe_piece > 0 ? feeding_pipe(input, options.pipe_piece) : memory_file(input);
  const int out = options.stdout_path != nullptr ? open(options.stdout_path, O_WRONLY | O_CLOEXEC)
                                                 : memory_file("");
  const int err = memory_file("");
  run_result result{{}, {}, wait_for(spawn(path, in, out, err, options.memory_limit))};
  for (const int fd : {out, err}) lseek(fd, 0, SEEK_SET);
  if (options.stdout_path == nullptr) result.out = read_rest(out);
  result.err = read_rest(err);
  for (const int fd : {in, out, err}) close(fd);
  while (waitpid(-1, nullptr, WNOHANG) > 0) {  // a feeder that is done
  }
  return result;
}

live_program start_program(const std::string& path) {
  std::signal(SIGPIPE, SIG_IGN);
  int in[2];
  int out[2];
  pipe2(in, O_CLOEXEC);
  pipe2(out, O_CLOEXEC);
  const pid_t pid = spawn(path, in[0], out[1], memory_file(""), 0);
  close(in[0]);
  close(out[1]);
  return {pid, in[1], out[0], {}};
}

bool read_until(live_program& program, std::string_view text) {
  char chunk[4096];
  while (!program.out_so_far.ends_with(text)) {
    const ssize_t got = read(program.out, chunk, sizeof chunk);
    if (got <= 0) return false;
    program.out_so_far.append(chunk, got);
  }
  return true;
}

void feed(live_program& program, std::string_view input) {
  write_all(program.in, input, input.size());
}

run_result finish(live_program& program) {
  close(program.in);
  const int status = wait_for(program.pid);
  run_result result{program.out_so_far + read_rest(program.out), {}, status};
  close(program.out);
  return result;
}
