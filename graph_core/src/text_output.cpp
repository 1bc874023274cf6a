#include "graph_core/text_output.h"

#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>

namespace {

constexpr std::size_t BUFFER_SIZE = std::size_t{1} << 16;
// Enough for "-2147483648".
constexpr std::size_t INT_WIDTH = 11;

struct output_state {
  int fd = STDOUT_FILENO;
  std::array<char, BUFFER_SIZE> buffer{};
  std::size_t used = 0;
  bool at_line_start = true;
  int error = 0;
};

output_state output;

// After the first failure nothing more is written: the output is lost anyway,
// and the error is reported when the program ends.
void write_all(const char* data, std::size_t size) {
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

void make_room(std::size_t size) {
  if (BUFFER_SIZE - output.used < size) flush_output();
}

}  // namespace

void put_text(std::string_view text) {
  if (text.empty()) return;
  output.at_line_start = text.back() == '\n';
  if (text.size() > BUFFER_SIZE) {
    flush_output();
    write_all(text.data(), text.size());
    return;
  }
  make_room(text.size());
  std::memcpy(output.buffer.data() + output.used, text.data(), text.size());
  output.used += text.size();
}

void put_int(std::int32_t value) {
  make_room(INT_WIDTH);
  char* first = output.buffer.data() + output.used;
  const auto [last, ec] = std::to_chars(first, first + INT_WIDTH, value);
  output.used += static_cast<std::size_t>(last - first);
  output.at_line_start = false;
}

void flush_output() {
  write_all(output.buffer.data(), output.used);
  output.used = 0;
}

void end_output_line() {
  if (!output.at_line_start) put_text("\n");
}

int output_error() { return output.error; }

void use_output_fd(int fd) {
  flush_output();
  output = output_state{};
  output.fd = fd;
}
