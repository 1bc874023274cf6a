#include "number_text.h"

#include <array>
#include <bit>
#include <cstring>
#include <limits>

#if defined(__SSE2__) && !defined(LOCKPROBE_PORTABLE_SCAN)
#include <emmintrin.h>
#endif

// Reading: the text is read 64 bytes at a time. Each chunk is first
// classified into three bit masks, one bit a byte: digits, whitespace and
// signs. Where the numbers start and end then follows from the masks alone,
// so finding the next number does not wait for the previous one to be
// converted, and finding it takes no branch on how long a number is. Each
// number's digits are then converted four or eight at a time.
//
// Writing: a number below 1000, such as every id that names a node, is
// copied from a table of texts. A longer one has its digits made all at once
// and then as many of them written as its length, which comes from a table.
namespace {

constexpr std::size_t CHUNK = 64;
// A number's digits are loaded four or eight bytes at a time, from its first
// digit or its last eight, so a load may reach a few bytes past the chunk.
constexpr std::size_t LOAD_SLACK = 8;
constexpr unsigned MAX_DIGITS = 10;
constexpr std::uint64_t LAST_BYTE = std::uint64_t{1} << (CHUNK - 1);

struct byte_masks {
  std::uint64_t digits = 0;
  std::uint64_t spaces = 0;
  std::uint64_t signs = 0;
};

#if defined(__SSE2__) && !defined(LOCKPROBE_PORTABLE_SCAN)

// 0xff in each byte of `bytes` that lies in [low, low + span].
__m128i in_range(__m128i bytes, char low, char span) {
  const __m128i offset = _mm_sub_epi8(bytes, _mm_set1_epi8(low));
  return _mm_cmpeq_epi8(_mm_min_epu8(offset, _mm_set1_epi8(span)), offset);
}

std::uint64_t bits_of(__m128i bytes, std::size_t part) {
  return std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(bytes))} << (16 * part);
}

byte_masks classify(const char* chunk) {
  byte_masks masks;
  for (std::size_t part = 0; part < CHUNK / 16; ++part) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(chunk + 16 * part));
    masks.digits |= bits_of(in_range(bytes, '0', 9), part);
    masks.spaces |= bits_of(
        _mm_or_si128(in_range(bytes, '\t', '\r' - '\t'), _mm_cmpeq_epi8(bytes, _mm_set1_epi8(' '))),
        part);
    masks.signs |= bits_of(_mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('+')),
                                        _mm_cmpeq_epi8(bytes, _mm_set1_epi8('-'))),
                           part);
  }
  return masks;
}

#else

// The same masks a byte at a time, for machines without SSE2.
byte_masks classify(const char* chunk) {
  byte_masks masks;
  for (unsigned i = 0; i < CHUNK; ++i) {
    const auto c = static_cast<unsigned char>(chunk[i]);
    masks.digits |= std::uint64_t{static_cast<unsigned>(c - '0') <= 9} << i;
    masks.spaces |= std::uint64_t{c == ' ' || static_cast<unsigned>(c - '\t') <= '\r' - '\t'} << i;
    masks.signs |= std::uint64_t{c == '+' || c == '-'} << i;
  }
  return masks;
}

#endif

// The eight bytes at `p`, the first in the lowest byte.
std::uint64_t load8(const char* p) {
  std::uint64_t bytes = 0;
  std::memcpy(&bytes, p, sizeof bytes);
  if constexpr (std::endian::native == std::endian::big) bytes = __builtin_bswap64(bytes);
  return bytes;
}

// The value of eight digits, the first in the lowest byte; zero bytes below
// the first digit count as leading zeros. Each step joins neighbouring
// numbers in all lanes at once: digits into pairs, pairs into fours, fours
// into the eight.
std::uint64_t eight_digits(std::uint64_t bytes) {
  std::uint64_t x = ((bytes & 0x0f0f0f0f0f0f0f0f) * (10 * 0x100 + 1)) >> 8;
  x = ((x & 0x00ff00ff00ff00ff) * (100 * 0x10000 + 1)) >> 16;
  return ((x & 0x0000ffff0000ffff) * (10000 * 0x100000000 + 1)) >> 32;
}

// The value of the `count` digits at `p`, 1 to MAX_DIGITS of them. The eight
// bytes from the last eight digits on must be readable.
std::uint64_t digits_value(const char* p, unsigned count) {
  if (count <= 4) {
    std::uint32_t bytes = 0;
    std::memcpy(&bytes, p, sizeof bytes);
    std::uint32_t x = ((bytes << (8 * (4 - count))) & 0x0f0f0f0f) * (10 * 0x100 + 1) >> 8;
    return ((x & 0x00ff00ff) * (100 * 0x10000 + 1)) >> 16;
  }
  if (count <= 8) return eight_digits(load8(p) << (8 * (8 - count)));
  const unsigned head = count - 8;  // the digits before the last eight
  return eight_digits(load8(p) << (8 * (8 - head))) * 100'000'000 + eight_digits(load8(p + head));
}

// The eight bytes that hold `bytes` at `p`, the lowest first.
void store8(char* p, std::uint64_t bytes) {
  if constexpr (std::endian::native == std::endian::big) bytes = __builtin_bswap64(bytes);
  std::memcpy(p, &bytes, sizeof bytes);
}

// The four bytes that hold `bytes` at `p`, the lowest first.
void store4(char* p, std::uint32_t bytes) {
  if constexpr (std::endian::native == std::endian::big) bytes = __builtin_bswap32(bytes);
  std::memcpy(p, &bytes, sizeof bytes);
}

// The eight digits of `value` (below 10^8) as text, leading zeros included,
// the first in the lowest byte: split into fours, then pairs, then digits,
// all lanes at once. A division by 100 or 10 is a multiplication and a
// shift, exact in this range.
std::uint64_t eight_chars(std::uint32_t value) {
  std::uint64_t x = value / 10000 | std::uint64_t{value % 10000} << 32;
  std::uint64_t quotient = (x * 5243 >> 19) & 0x0000007f0000007f;
  x = quotient | (x - quotient * 100) << 16;
  quotient = (x * 103 >> 10) & 0x000f000f000f000f;
  x = quotient | (x - quotient * 10) << 8;
  return x | 0x3030303030303030;
}

// For each bit width of a value, what to add so that bits 32 and up hold the
// number of its digits: the count of the smallest value of that width, plus
// one when a power of ten lies within the width, carried in by adding
// 2^32 - 10^d.
constexpr std::array<std::uint64_t, 33> DIGIT_COUNT_STEPS = [] {
  std::array<std::uint64_t, 33> steps{};
  for (unsigned width = 1; width <= 32; ++width) {
    const std::uint64_t smallest = std::uint64_t{1} << (width - 1);
    std::uint64_t digits = 1;
    std::uint64_t power = 10;  // 10^digits
    for (; power <= smallest; power *= 10) ++digits;
    const bool crosses = power < std::uint64_t{1} << width;
    steps[width] = (digits << 32) + (crosses ? (std::uint64_t{1} << 32) - power : 0);
  }
  return steps;
}();

// The text of each number below 1000, the first digit in the lowest byte and
// the number of digits in the highest: numbers that name nodes are all this
// short, and a lookup is quicker than making their digits.
constexpr std::array<std::uint32_t, 1000> SHORT_TEXTS = [] {
  std::array<std::uint32_t, 1000> texts{};
  for (std::uint32_t value = 0; value < texts.size(); ++value) {
    std::uint32_t text = 0;
    unsigned size = 0;
    for (std::uint32_t rest = value; size == 0 || rest != 0; rest /= 10, ++size) {
      text = text << 8 | ('0' + rest % 10);
    }
    texts[value] = text | size << 24;
  }
  return texts;
}();

unsigned digit_count(std::uint32_t value) {
  return static_cast<unsigned>((value + DIGIT_COUNT_STEPS[std::bit_width(value | 1)]) >> 32);
}

}  // namespace

char* write_decimal(char* p, std::int32_t value) {
  if (static_cast<std::uint32_t>(value) < SHORT_TEXTS.size()) {
    // Its last byte, the size, lies past the digits: the caller writes over it.
    const std::uint32_t text = SHORT_TEXTS[static_cast<std::uint32_t>(value)];
    store4(p, text);
    return p + (text >> 24);
  }
  *p = '-';
  p += value < 0;
  const std::uint32_t magnitude =
      value < 0 ? 0 - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
  const unsigned count = digit_count(magnitude);
  const std::uint64_t low = eight_chars(magnitude % 100'000'000);
  if (count <= 8) {
    store8(p, low >> (8 * (8 - count)));
  } else {
    // One or two digits before the last eight: their text from the table,
    // its size byte and any other byte past them written over by `low`.
    store4(p, SHORT_TEXTS[magnitude / 100'000'000]);
    store8(p + count - 8, low);
  }
  return p + count;
}

scan_result scan_numbers(const char* first, const char* last, std::int32_t* values,
                         std::size_t capacity) {
  const char* chunk = first;
  std::size_t count = 0;
  while (static_cast<std::size_t>(last - chunk) >= CHUNK + LOAD_SLACK) {
    const byte_masks masks = classify(chunk);
    const std::uint64_t words = masks.digits | masks.signs;
    // A sign must start a number: follow a byte that is no digit or sign and
    // come before a digit. The last byte's number is taken up by the next chunk.
    const std::uint64_t stray_signs = masks.signs & ((words << 1) | ~(masks.digits >> 1));
    if ((words | masks.spaces) != ~std::uint64_t{0} || (stray_signs & ~LAST_BYTE) != 0) break;

    std::uint64_t starts = words & ~(words << 1);
    std::uint64_t ends = words & ~(words >> 1);
    std::size_t advance = CHUNK;
    if ((words & LAST_BYTE) != 0) {
      // The last number may go on past the chunk: the next chunk starts with it.
      advance = static_cast<std::size_t>(std::bit_width(starts) - 1);
      starts &= ~(std::uint64_t{1} << advance);
      ends &= ~LAST_BYTE;
      if (advance == 0) break;
    }
    for (; starts != 0; starts &= starts - 1, ends &= ends - 1) {
      const auto start = static_cast<unsigned>(std::countr_zero(starts));
      const char* word = chunk + start;
      const unsigned sign = (masks.signs >> start) & 1;
      const unsigned digit_count = static_cast<unsigned>(std::countr_zero(ends)) + 1 - start - sign;
      if (count == capacity || digit_count > MAX_DIGITS) return {count, word};
      const std::uint64_t negative = word[0] == '-';
      const std::uint64_t magnitude = digits_value(word + sign, digit_count);
      if (magnitude > std::uint64_t{std::numeric_limits<std::int32_t>::max()} + negative) {
        return {count, word};
      }
      values[count++] = static_cast<std::int32_t>((magnitude ^ (0 - negative)) + negative);
    }
    chunk += advance;
  }
  return {count, chunk};
}
