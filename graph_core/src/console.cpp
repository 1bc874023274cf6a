#include "graph_core/console.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "number_text.h"

namespace {

constexpr std::size_t BUFFER_SIZE = std::size_t{1} << 16;

struct output_state {
  int fd = STDOUT_FILENO;
  const output_sink* sink = nullptr;  // where output and reports go instead, when set
  std::array<char, BUFFER_SIZE> buffer;
  std::size_t used = 0;
  bool written_line_end = true;  // what was written so far ends with a line break
  int error = 0;                 // errno of the first failed write
};

output_state output;

// After the first failure nothing more is written: the output is lost anyway,
// and the error is reported when the run ends.
void write_all(const char* data, std::size_t size) {
  if (output.sink != nullptr) {
    if (output.error == 0) output.error = output.sink->write(output.sink->target, data, size);
    return;
  }
  while (size > 0 && output.error == 0) {
    const ssize_t written = ::write(output.fd, data, size);
    if (written > 0) {
      data += written;
      size -= static_cast<std::size_t>(written);
    } else if (written == 0) {
      output.error = EIO;
    } else if (errno != EINTR) {
      output.error = errno;
    }
  }
}

// Writes `parts` to stderr, or where reports go instead, as one line.
void report(std::initializer_list<std::string_view> parts) {
  std::array<char, 512> line;
  std::size_t size = 0;
  for (const std::string_view part : parts) {
    const std::size_t taken = std::min(part.size(), line.size() - 1 - size);
    std::memcpy(line.data() + size, part.data(), taken);
    size += taken;
  }
  line[size++] = '\n';
  if (output.sink != nullptr) {
    output.sink->report(output.sink->target, line.data(), size);
    return;
  }
  [[maybe_unused]] const ssize_t ignored = ::write(STDERR_FILENO, line.data(), size);
}

}  // namespace

char* reserve_output(std::size_t size) {
  if (BUFFER_SIZE - output.used < size) flush_output();
  return output.buffer.data() + output.used;
}

void commit_output(const char* end) {
  output.used = static_cast<std::size_t>(end - output.buffer.data());
}

void put_text(std::string_view text) {
  char* const room = reserve_output(text.size());
  commit_output(std::copy(text.begin(), text.end(), room));
}

void put_int(std::int32_t value) {
  commit_output(write_decimal(reserve_output(DECIMAL_ROOM), value));
}

void flush_output() {
  if (output.used == 0) return;
  write_all(output.buffer.data(), output.used);
  output.written_line_end = output.buffer[output.used - 1] == '\n';
  output.used = 0;
}

int end_run(std::string_view program, std::optional<std::string_view> failure) {
  flush_output();
  if (!failure && output.error == 0) return 0;
  if (!output.written_line_end) {
    put_text("\n");
    flush_output();
  }
  if (failure) {
    report({program, ": ", *failure});
  } else {
    report({program, ": write error: ", std::strerror(output.error)});
  }
  return 1;
}

void use_output(int fd) {
  output = output_state{};
  output.fd = fd;
}

void use_output_sink(const output_sink& sink) {
  use_output(-1);
  output.sink = &sink;
}
