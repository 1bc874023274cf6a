#include "program_runner.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <stdexcept>

namespace {

void write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;  // the program stopped reading
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

// Reads `fd` to its end from where it stands.
std::string read_rest(int fd) {
  std::string text;
  char chunk[65536];
  for (ssize_t got; (got = read(fd, chunk, sizeof chunk)) != 0;) {
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) break;
    text.append(chunk, static_cast<std::size_t>(got));
  }
  return text;
}

// An anonymous in-memory file holding `bytes`, positioned at its start.
int memory_file(std::string_view bytes) {
  const int fd = memfd_create("run", MFD_CLOEXEC);
  if (fd < 0) throw std::runtime_error("memfd_create failed");
  write_all(fd, bytes);
  lseek(fd, 0, SEEK_SET);
  return fd;
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
  execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
  _exit(127);
}

int wait_for(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

run_result run_program(const std::string& path, std::string_view input, run_options options) {
  const int in = memory_file(input);
  const int out = options.stdout_path != nullptr
                      ? open(options.stdout_path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)
                      : memory_file("");
  const int err = memory_file("");
  run_result result{{}, {}, wait_for(spawn(path, in, out, err, options.memory_limit))};
  lseek(out, 0, SEEK_SET);
  lseek(err, 0, SEEK_SET);
  if (options.stdout_path == nullptr) result.out = read_rest(out);
  result.err = read_rest(err);
  for (const int fd : {in, out, err}) close(fd);
  return result;
}

live_program start_program(const std::string& path) {
  std::signal(SIGPIPE, SIG_IGN);
  int in[2];
  int out[2];
  if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
  const int err = open("/dev/null", O_WRONLY | O_CLOEXEC);
  const pid_t pid = spawn(path, in[0], out[1], err, 0);
  for (const int fd : {in[0], out[1], err}) close(fd);
  return {pid, in[1], out[0], {}};
}

bool read_until(live_program& program, std::string_view text) {
  char chunk[4096];
  while (!program.out_so_far.ends_with(text)) {
    const ssize_t got = read(program.out, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    program.out_so_far.append(chunk, static_cast<std::size_t>(got));
  }
  return true;
}

void feed(live_program& program, std::string_view input) { write_all(program.in, input); }

run_result finish(live_program& program) {
  close(program.in);
  run_result result{program.out_so_far + read_rest(program.out), {}, wait_for(program.pid)};
  close(program.out);
  return result;
}
