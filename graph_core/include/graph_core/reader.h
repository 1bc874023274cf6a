// Reading decimal integers as "%d" does, in large blocks: from standard
// input, another file, or a text in memory.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

// The most bytes a read asks for, unless told otherwise.
inline constexpr std::size_t INPUT_BLOCK_SIZE = std::size_t{1} << 16;

enum class read_status {
  number,
  end_of_input,
  not_a_number,
  out_of_range,
  read_error,
  out_of_memory
};

// Longest part of a bad word of the input that is kept to quote it.
inline constexpr std::size_t QUOTE_LIMIT = 24;

// The start of a word of the input, cut at QUOTE_LIMIT bytes and then ended
// with "...".
struct word_excerpt {
  std::array<char, QUOTE_LIMIT + 3> bytes;
  std::size_t size = 0;

  std::string_view text() const { return {bytes.data(), size}; }
};

// The outcome of one read.
struct number_read {
  read_status status = read_status::number;
  std::int32_t value = 0;  // the number, when one was read
  word_excerpt found;      // the word read instead, when it is no number or out of range;
                           // its leading zeros are not kept when it is a number
  int error_number = 0;    // the errno of a read error
};

// Reads one integer: whitespace, an optional sign, decimal digits. The
// first byte after the digits is left for the next read; a word that is not
// a number in range is consumed.
number_read read_int();

// Reads up to `count` numbers into `values` as read_int() would, many at a
// time, and returns how many it read. It stops early, before a number, where
// read_int() must take over: at the end of a block of the input, and at
// anything unusual, such as a bad word or a number out of range; so it may
// return 0 where read_int() would succeed.
std::size_t read_ints(std::int32_t* values, std::size_t count);

// The number of bytes of the input before the read position. Right after
// read_int() has read a number, that is where the number ends.
std::size_t input_offset();

// Reads from `fd` from now on, asking the system for at most `block_size`
// bytes at a time.
void use_input(int fd, std::size_t block_size = INPUT_BLOCK_SIZE);
// Reads `text` from now on, taking at most `block_size` bytes of it at a
// time, as a read of a file holding it would. The text must outlive the reading.
void use_input_text(std::string_view text, std::size_t block_size = INPUT_BLOCK_SIZE);
