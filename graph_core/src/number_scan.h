// The reader's fast path: many numbers read from a block of text in one go,
// for the long runs of well-formed edges that make up a large input.
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
