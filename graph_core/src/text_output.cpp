#include "graph_core/text_output.h"

#include <unistd.h>

#include <array>
#include <cerrno>

namespace {

constexpr std::size_t BUFFER_SIZE = std::size_t{1} << 16;

struct output_state {
  int fd = STDOUT_FILENO;
  std::array<char, BUFFER_SIZE> buffer{};
  bool flushed_line_end = true;  // the output flushed so far ends with a line break
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

}  // namespace

namespace output_buffer {

char* next = output.buffer.data();
char* limit = output.buffer.data() + BUFFER_SIZE;

void put_text_slowly(std::string_view text) {
  flush_output();
  if (text.size() <= BUFFER_SIZE) {
    put_text(text);
    return;
  }
  write_all(text.data(), text.size());
  output.flushed_line_end = text.back() == '\n';
}

}  // namespace output_buffer

void flush_output() {
  char* const first = output.buffer.data();
  const auto used = static_cast<std::size_t>(output_buffer::next - first);
  if (used == 0) return;
  write_all(first, used);
  output.flushed_line_end = first[used - 1] == '\n';
  output_buffer::next = first;
}

void end_output_line() {
  flush_output();
  if (!output.flushed_line_end) put_text("\n");
}

int output_error() { return output.error; }

void use_output_fd(int fd) {
  flush_output();
  output = output_state{};
  output.fd = fd;
  output_buffer::next = output.buffer.data();
}
