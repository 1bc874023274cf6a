// Writing text and integers to standard output through one buffer.
#pragma once

#include <charconv>
#include <cstdint>
#include <cstring>
#include <string_view>

// The buffer's free space; the functions below are inline because the
// listing writes a few bytes at a time, millions of times.
namespace output_buffer {
extern char* next;
extern char* limit;
// Flushes the buffer, then takes `text`, which did not fit.
void put_text_slowly(std::string_view text);
// Enough room for "-2147483648".
inline constexpr std::size_t INT_WIDTH = 11;
// Numbers below this are copied from a table: node ids and most targets are.
inline constexpr std::int32_t TABLE_LIMIT = 1000;

// The digits of 0 to TABLE_LIMIT - 1, padded to four bytes, and their lengths.
struct small_number_table {
  char digits[TABLE_LIMIT][4]{};
  unsigned char lengths[TABLE_LIMIT]{};

  constexpr small_number_table() {
    for (std::int32_t value = 0; value < TABLE_LIMIT; ++value) {
      const char text[4] = {static_cast<char>('0' + value / 100),
                            static_cast<char>('0' + value / 10 % 10),
                            static_cast<char>('0' + value % 10), 0};
      const int skip = value < 10 ? 2 : value < 100 ? 1 : 0;
      for (int i = 0; i + skip < 3; ++i) digits[value][i] = text[i + skip];
      lengths[value] = static_cast<unsigned char>(3 - skip);
    }
  }
};

inline constexpr small_number_table SMALL_NUMBERS{};
}  // namespace output_buffer

// Writes out everything buffered so far; the prompts call it before input is read.
void flush_output();

inline void put_text(std::string_view text) {
  using namespace output_buffer;
  if (static_cast<std::size_t>(limit - next) < text.size()) {
    put_text_slowly(text);
    return;
  }
  std::memcpy(next, text.data(), text.size());
  next += text.size();
}

inline void put_int(std::int32_t value) {
  using namespace output_buffer;
  if (static_cast<std::size_t>(limit - next) < INT_WIDTH) flush_output();
  if (value >= 0 && value < TABLE_LIMIT) {
    std::memcpy(next, SMALL_NUMBERS.digits[value], 4);
    next += SMALL_NUMBERS.lengths[value];
    return;
  }
  next = std::to_chars(next, next + INT_WIDTH, value).ptr;
}

// Adds a line break when the output written so far ends inside a line.
void end_output_line();
// The errno of the first failed write, or 0 when every write succeeded.
int output_error();

// Writes to this file descriptor instead of standard output from now on.
void use_output_fd(int fd);
