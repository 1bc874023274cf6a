// The hot paths between numbers and their decimal text: the reader's, which
// reads many numbers from a block of text in one go, and the listing's, which
// writes one number with a table lookup or a few arithmetic steps. Both keep
// branches on how long a number is few, since on varied input they mispredict.
#pragma once

#include <cstddef>
#include <cstdint>

struct scan_result {
  std::size_t count;  // numbers read
  const char* stop;   // where the reading stopped
};

// Reads up to `capacity` numbers from [first, last), each whitespace, an
// optional sign and one to ten digits in the 32-bit range, into `values`. It
// stops early, before the next number, wherever that takes more care: near
// `last`, at a byte that is neither whitespace, digit nor sign, at a sign that
// does not start a number, and at a number that is too long or out of range.
// `last` must not cut a number in two: the reader's blocks never do.
scan_result scan_numbers(const char* first, const char* last, std::int32_t* values,
                         std::size_t capacity);

// Room that write_decimal() needs: "-2147483648".
inline constexpr std::size_t DECIMAL_ROOM = 11;

// Writes `value` at `p` as "%d" would and returns the end of its text. It may
// write up to DECIMAL_ROOM bytes.
char* write_decimal(char* p, std::int32_t value);
