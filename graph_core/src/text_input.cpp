#include "graph_core/text_input.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>
#include <vector>

namespace {

constexpr std::size_t BLOCK_SIZE = std::size_t{1} << 16;
// Longest piece of offending input quoted in a message.
constexpr std::size_t DETAIL_LIMIT = 24;
// Stands right after the last byte of the block, so that the scanning loops
// stop there without checking the bound on every character. A NUL before the
// end is input like any other byte: neither a digit nor whitespace.
constexpr char SENTINEL = '\0';

struct input_state {
  int fd = STDIN_FILENO;
  std::vector<char> block = std::vector<char>(BLOCK_SIZE + 1, SENTINEL);
  const char* next = block.data();
  const char* end = block.data();
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
    const ssize_t got = ::read(input.fd, input.block.data(), BLOCK_SIZE);
    if (got > 0) {
      input.next = input.block.data();
      input.end = input.next + got;
      input.block[static_cast<std::size_t>(got)] = SENTINEL;
      return true;
    }
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) input.read_errno = errno;
    input.exhausted = true;
    return false;
  }
}

// Space, or one of the five control characters from '\t' to '\r'.
bool is_space(char c) { return c == ' ' || static_cast<unsigned char>(c - '\t') < 5; }

bool is_digit(char c) { return static_cast<unsigned char>(c - '0') < 10; }

// Whether a byte is left at input.next, reading a new block when this one is
// used up.
bool at_byte() { return input.next != input.end || refill(); }

// Skips whitespace; false when the input ends first.
bool skip_whitespace() {
  for (;;) {
    const char* p = input.next;
    while (is_space(*p)) ++p;
    input.next = p;
    if (p != input.end) return true;
    if (!refill()) return false;
  }
}

// Moves the rest of the offending word into the failure detail.
void take_rest_of_word() {
  while (at_byte() && !is_space(*input.next)) {
    if (input.detail.size() == DETAIL_LIMIT) {
      input.detail += "...";
      return;
    }
    input.detail.push_back(*input.next++);
  }
}

read_result fail_on_word(read_result result) {
  take_rest_of_word();
  return result;
}

// The common case, fast: whitespace, then up to 9 digits that end inside the
// block. Returns false, having changed nothing, for anything else (a sign, a
// longer number, the end of the block, bad input): read_int handles that.
bool read_plain_number(const char*& p, std::int32_t& value) {
  constexpr std::ptrdiff_t PLAIN_DIGITS = 9;  // so the value cannot overflow
  const char* q = p;
  while (is_space(*q)) ++q;
  const char* const first = q;
  std::int32_t number = 0;
  while (is_digit(*q) && q - first < PLAIN_DIGITS) number = number * 10 + (*q++ - '0');
  if (q == first || q == input.end || is_digit(*q)) return false;
  value = number;
  p = q;
  return true;
}

}  // namespace

read_result read_int(std::int32_t& value) {
  if (!skip_whitespace()) {
    if (input.read_errno == 0) return read_result::end_of_input;
    input.detail = std::strerror(input.read_errno);
    return read_result::read_error;
  }
  input.detail.clear();
  const bool negative = *input.next == '-';
  if (negative || *input.next == '+') {
    input.detail.push_back(*input.next++);
    if (!at_byte()) return read_result::not_a_number;
  }
  if (!is_digit(*input.next)) return fail_on_word(read_result::not_a_number);

  const std::int64_t limit = negative ? -std::int64_t{std::numeric_limits<std::int32_t>::min()}
                                      : std::numeric_limits<std::int32_t>::max();
  std::int64_t magnitude = 0;
  do {
    const char* p = input.next;
    for (; is_digit(*p); ++p) {
      magnitude = magnitude * 10 + (*p - '0');
      if (magnitude > limit) {
        input.next = p + 1;
        // Leading zeros are not kept; the quoted number has the same value.
        input.detail += std::to_string(magnitude);
        return fail_on_word(read_result::out_of_range);
      }
    }
    input.next = p;
  } while (input.next == input.end && refill() && is_digit(*input.next));
  value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
  return read_result::number;
}

edge_read read_edge_numbers() {
  edge_read edge{read_result::number, false, 0, 0};
  const char* p = input.next;
  if (read_plain_number(p, edge.u) && read_plain_number(p, edge.v)) {
    input.next = p;
    return edge;
  }
  edge.result = read_int(edge.u);
  if (edge.result != read_result::number) return edge;
  edge.started = true;
  edge.result = read_int(edge.v);
  return edge;
}

const std::string& failure_detail() { return input.detail; }

void use_input_text(std::string_view text) {
  input = input_state{};
  input.fd = -1;
  input.block.assign(text.begin(), text.end());
  input.block.push_back(SENTINEL);
  input.next = input.block.data();
  input.end = input.next + text.size();
}
