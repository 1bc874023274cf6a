// Reading decimal integers from standard input in large blocks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum class read_result { number, end_of_input, not_a_number, out_of_range, read_error };

// Reads one integer as "%d" does: whitespace, an optional sign, decimal digits;
// the first character after the digits is left for the next read.
// Sets `value` only when the result is read_result::number.
read_result read_int(std::int32_t& value);

// The outcome of reading the two numbers "u v" of an edge.
struct edge_read {
  read_result result;  // read_result::number when both numbers were read
  bool started;        // u was read before the failure
  std::int32_t u;
  std::int32_t v;
};

// What made the last read fail: the offending text as found in the input
// (cut short when long), or the system's reason for a read error.
const std::string& failure_detail();

// Reads from `text` instead of standard input from now on.
void use_input_text(std::string_view text);

// The unread part of the current block. The block is followed by a NUL, so
// that a scan stops at its end without checking the bound on every byte; a
// NUL before the end is input like any other byte. Edges are read here inline
// because a large graph has millions of them.
namespace input_buffer {
extern const char* next;
extern const char* end;

// Reads the two numbers of an edge by the general route: signs, long numbers,
// numbers cut by the end of a block, and bad input.
edge_read read_edge_numbers_slowly();

// Space, or one of the five control characters from '\t' to '\r'.
inline bool is_space(char c) { return c == ' ' || static_cast<unsigned char>(c - '\t') < 5; }

inline bool is_digit(char c) { return static_cast<unsigned char>(c - '0') < 10; }

// The common case: whitespace, then up to 9 digits (so the value cannot
// overflow) that end inside the block. Returns false, having changed nothing,
// for anything else.
inline bool read_plain_number(const char*& p, std::int32_t& value) {
  constexpr std::ptrdiff_t PLAIN_DIGITS = 9;
  const char* q = p;
  while (is_space(*q)) ++q;
  const char* const first = q;
  std::int32_t number = 0;
  while (is_digit(*q) && q - first < PLAIN_DIGITS) number = number * 10 + (*q++ - '0');
  if (q == first || q == end || is_digit(*q)) return false;
  value = number;
  p = q;
  return true;
}
}  // namespace input_buffer

// Reads the source and the target of one edge.
inline edge_read read_edge_numbers() {
  using namespace input_buffer;
  edge_read edge{read_result::number, false, 0, 0};
  const char* p = next;
  if (read_plain_number(p, edge.u) && read_plain_number(p, edge.v)) {
    next = p;
    return edge;
  }
  return read_edge_numbers_slowly();
}
