#include "graph_core/text_input.h"

#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <limits>

namespace {

constexpr std::size_t BLOCK_SIZE = std::size_t{1} << 16;
// Longest piece of offending input quoted in a message.
constexpr std::size_t DETAIL_LIMIT = 24;
constexpr int END = -1;

struct input_state {
  int fd = STDIN_FILENO;
  std::array<char, BLOCK_SIZE> block{};
  const char* next = nullptr;
  const char* end = nullptr;
  bool exhausted = false;
  int read_errno = 0;
  std::string detail;
};

input_state input;

bool refill() {
  if (input.exhausted || input.fd < 0) {
    input.exhausted = true;
    return false;
  }
  for (;;) {
    const ssize_t got = ::read(input.fd, input.block.data(), input.block.size());
    if (got > 0) {
      input.next = input.block.data();
      input.end = input.next + got;
      return true;
    }
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) input.read_errno = errno;
    input.exhausted = true;
    return false;
  }
}

int peek() {
  if (input.next == input.end && !refill()) return END;
  return static_cast<unsigned char>(*input.next);
}

bool is_space(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool is_digit(int c) { return c >= '0' && c <= '9'; }

int skip_whitespace() {
  int c = peek();
  while (is_space(c)) {
    ++input.next;
    c = peek();
  }
  return c;
}

// Moves the rest of the offending word into the failure detail.
void take_rest_of_word() {
  for (int c = peek(); c != END && !is_space(c); c = peek()) {
    if (input.detail.size() == DETAIL_LIMIT) {
      input.detail += "...";
      return;
    }
    input.detail.push_back(static_cast<char>(c));
    ++input.next;
  }
}

read_result fail_on_word(read_result result) {
  take_rest_of_word();
  return result;
}

}  // namespace

read_result read_int(std::int32_t& value) {
  int c = skip_whitespace();
  if (c == END) {
    if (input.read_errno == 0) return read_result::end_of_input;
    input.detail = std::strerror(input.read_errno);
    return read_result::read_error;
  }
  input.detail.clear();
  const bool negative = c == '-';
  if (c == '-' || c == '+') {
    input.detail.push_back(static_cast<char>(c));
    ++input.next;
    c = peek();
  }
  if (!is_digit(c)) return fail_on_word(read_result::not_a_number);

  const std::int64_t limit = negative ? -std::int64_t{std::numeric_limits<std::int32_t>::min()}
                                      : std::numeric_limits<std::int32_t>::max();
  std::int64_t magnitude = 0;
  do {
    magnitude = magnitude * 10 + (c - '0');
    ++input.next;
    if (magnitude > limit) {
      // Leading zeros are not kept; the quoted number has the same value.
      input.detail += std::to_string(magnitude);
      return fail_on_word(read_result::out_of_range);
    }
    c = peek();
  } while (is_digit(c));
  value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
  return read_result::number;
}

const std::string& failure_detail() { return input.detail; }

void use_input_text(std::string_view text) {
  input = input_state{};
  input.fd = -1;
  input.next = text.data();
  input.end = text.data() + text.size();
}

edge_read read_edge_numbers() {
  edge_read edge{read_result::number, false, 0, 0};
  edge.result = read_int(edge.u);
  if (edge.result != read_result::number) return edge;
  edge.started = true;
  edge.result = read_int(edge.v);
  return edge;
}
