#include "graph_core/text_input.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>
#include <vector>

using input_buffer::is_digit;
using input_buffer::is_space;

namespace {

constexpr std::size_t BLOCK_SIZE = std::size_t{1} << 16;
// Longest piece of offending input quoted in a message.
constexpr std::size_t DETAIL_LIMIT = 24;
constexpr char SENTINEL = '\0';

struct input_state {
  int fd = STDIN_FILENO;
  std::vector<char> block = std::vector<char>(BLOCK_SIZE + 1, SENTINEL);
  bool exhausted = false;
  int read_errno = 0;
  std::string detail;
};

input_state input;

}  // namespace

namespace input_buffer {
const char* next = input.block.data();
const char* end = input.block.data();
}  // namespace input_buffer

namespace {

using input_buffer::end;
using input_buffer::next;

bool refill() {
  if (input.exhausted || input.fd < 0) {
    input.exhausted = true;
    return false;
  }
  for (;;) {
    const ssize_t got = ::read(input.fd, input.block.data(), BLOCK_SIZE);
    if (got > 0) {
      next = input.block.data();
      end = next + got;
      input.block[static_cast<std::size_t>(got)] = SENTINEL;
      return true;
    }
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) input.read_errno = errno;
    input.exhausted = true;
    return false;
  }
}

// Whether a byte is left at `next`, reading a new block when this one is used up.
bool at_byte() { return next != end || refill(); }

// Skips whitespace; false when the input ends first.
bool skip_whitespace() {
  for (;;) {
    const char* p = next;
    while (is_space(*p)) ++p;
    next = p;
    if (p != end) return true;
    if (!refill()) return false;
  }
}

// Moves the rest of the offending word into the failure detail.
void take_rest_of_word() {
  while (at_byte() && !is_space(*next)) {
    if (input.detail.size() == DETAIL_LIMIT) {
      input.detail += "...";
      return;
    }
    input.detail.push_back(*next++);
  }
}

read_result fail_on_word(read_result result) {
  take_rest_of_word();
  return result;
}

}  // namespace

read_result read_int(std::int32_t& value) {
  if (!skip_whitespace()) {
    if (input.read_errno == 0) return read_result::end_of_input;
    input.detail = std::strerror(input.read_errno);
    return read_result::read_error;
  }
  input.detail.clear();
  const bool negative = *next == '-';
  if (negative || *next == '+') {
    input.detail.push_back(*next++);
    if (!at_byte()) return read_result::not_a_number;
  }
  if (!is_digit(*next)) return fail_on_word(read_result::not_a_number);

  const std::int64_t limit = negative ? -std::int64_t{std::numeric_limits<std::int32_t>::min()}
                                      : std::numeric_limits<std::int32_t>::max();
  std::int64_t magnitude = 0;
  do {
    const char* p = next;
    for (; is_digit(*p); ++p) {
      magnitude = magnitude * 10 + (*p - '0');
      if (magnitude > limit) {
        next = p + 1;
        // Leading zeros are not kept; the quoted number has the same value.
        input.detail += std::to_string(magnitude);
        return fail_on_word(read_result::out_of_range);
      }
    }
    next = p;
  } while (next == end && refill() && is_digit(*next));
  value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
  return read_result::number;
}

edge_read input_buffer::read_edge_numbers_slowly() {
  edge_read edge{read_result::number, false, 0, 0};
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
  next = input.block.data();
  end = next + text.size();
}
