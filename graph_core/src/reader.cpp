#include "graph_core/reader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>

#include "number_text.h"

namespace {

constexpr int NO_BYTE = -1;

// The input is passed on in blocks that never end inside a number: a block
// ends after a byte that is no digit or sign, or between a digit and a sign,
// unless the input ended there. So a number in a block is always whole, and
// a scan over whitespace or digits stops at the block's end at the latest
// without comparing positions: the byte there starts the bytes held back, a
// digit or a sign after whitespace or a sign after a digit, or is the NUL
// written after the last byte read. refill() is the one place that deals
// with the block's edge.
struct input_state {
  int fd = STDIN_FILENO;
  std::optional<std::string_view> text;  // what is left of a text read instead of `fd`
  std::size_t block_size = INPUT_BLOCK_SIZE;
  // The bytes held back and the block read after them; null before the first read.
  char* buffer = nullptr;
  std::size_t next = 0;    // the read position
  std::size_t end = 0;     // the end of the block passed on
  std::size_t filled = 0;  // the end of what was read: the block and the bytes held back
  std::size_t taken = 0;   // bytes taken from the file or the text so far
  bool ended = false;      // nothing more comes: the input ended or a read failed
  int error_number = 0;    // the errno of a failed read
  bool out_of_memory = false;
};

input_state input;

bool is_space(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool is_digit(int c) { return c >= '0' && c <= '9'; }
bool is_sign(int c) { return c == '+' || c == '-'; }
bool is_zero(int c) { return c == '0'; }

// Where the bytes held back start: after the last byte that is no digit or
// sign, or at the last sign after a digit, where a number ends anyway.
std::size_t end_of_whole_words() {
  const char* const bytes = input.buffer;
  std::size_t end = input.filled;
  for (; end > 0 && (is_digit(bytes[end - 1]) || is_sign(bytes[end - 1])); --end) {
    if (end >= 2 && is_sign(bytes[end - 1]) && is_digit(bytes[end - 2])) return end - 1;
  }
  return end;
}

// Bytes kept of each part of a long word held back: one more than is quoted,
// so that a cut word still reads as "...", and more digits than a number in
// range has.
constexpr std::size_t KEPT_PER_PART = QUOTE_LIMIT + 1;

// Shortens the bytes held back, signs and then digits, to what decides how
// they read: a number keeps its value whatever its leading zeros, a word of
// more digits than a number in range has stays out of range, and no more
// than the first QUOTE_LIMIT bytes of a word are ever quoted. So a word of
// any length is held in bounded memory.
void squeeze_held_back() {
  char* kept = input.buffer;
  const char* part = input.buffer;
  const char* const end = input.buffer + input.filled;
  for (bool (*in_part)(int) : {is_sign, is_zero, is_digit}) {
    const char* part_end = part;
    while (part_end != end && in_part(*part_end)) ++part_end;
    const std::size_t size = std::min(static_cast<std::size_t>(part_end - part), KEPT_PER_PART);
    std::memmove(kept, part, size);
    kept += size;
    part = part_end;
  }
  input.filled = static_cast<std::size_t>(kept - input.buffer);
}

// The most bytes held back once squeezed: signs, leading zeros, other digits.
constexpr std::size_t HELD_BACK_LIMIT = 3 * KEPT_PER_PART;

// Allocates room for the bytes held back, a block and the NUL after them,
// once and before the first read, so that memory never runs out while part
// of a number is held back. Ends the input when no memory is left.
void allocate_buffer() {
  input.buffer = static_cast<char*>(std::malloc(HELD_BACK_LIMIT + input.block_size + 1));
  if (input.buffer != nullptr) return;
  input.ended = true;
  input.out_of_memory = true;
}

// Reads up to `size` bytes into `into`, from the text or the file; returns
// what read(2) returns.
ssize_t read_some(char* into, std::size_t size) {
  if (!input.text) return ::read(input.fd, into, size);
  const std::size_t taken = std::min(size, input.text->size());
  std::copy_n(input.text->data(), taken, into);
  input.text->remove_prefix(taken);
  return static_cast<ssize_t>(taken);
}

// Passes on the next block: moves the bytes held back to the front and reads
// after them. Returns false when the input has no more bytes.
[[gnu::noinline]] bool refill() {
  std::copy(input.buffer + input.end, input.buffer + input.filled, input.buffer);
  input.filled -= input.end;
  input.next = 0;
  input.end = 0;
  if (input.buffer == nullptr && !input.ended) allocate_buffer();
  while (!input.ended && input.end == 0) {
    if (input.filled > 0) squeeze_held_back();
    const ssize_t got = read_some(input.buffer + input.filled, input.block_size);
    if (got > 0) {
      input.filled += static_cast<std::size_t>(got);
      input.taken += static_cast<std::size_t>(got);
      input.end = end_of_whole_words();
    } else if (got == 0) {
      input.ended = true;
    } else if (errno != EINTR) {
      input.ended = true;
      input.error_number = errno;
    }
  }
  if (input.ended) input.end = input.filled;
  if (input.buffer != nullptr) input.buffer[input.filled] = '\0';
  return input.end > 0;
}

// Moves past whitespace; false when the input ends first.
bool skip_whitespace() {
  for (;;) {
    if (input.next == input.end && !refill()) return false;
    const char* p = input.buffer + input.next;
    while (is_space(*p)) ++p;
    input.next = static_cast<std::size_t>(p - input.buffer);
    if (input.next != input.end) return true;
  }
}

// The byte at the read position, or NO_BYTE at the end of the input.
int peek_byte() {
  if (input.next == input.end && !refill()) return NO_BYTE;
  return static_cast<unsigned char>(input.buffer[input.next]);
}

void append(word_excerpt& word, char c) { word.bytes[word.size++] = c; }

// Takes the word at the read position, without the zeros after its sign
// when `drop_leading_zeros`, and cut short when long.
[[gnu::noinline]] word_excerpt take_word(bool drop_leading_zeros) {
  word_excerpt word;
  if (is_sign(peek_byte())) append(word, input.buffer[input.next++]);
  while (drop_leading_zeros && peek_byte() == '0') ++input.next;
  for (int c = peek_byte(); c != NO_BYTE && !is_space(c); c = peek_byte()) {
    if (word.size == QUOTE_LIMIT) {
      for (const char dot : {'.', '.', '.'}) append(word, dot);
      break;
    }
    append(word, input.buffer[input.next++]);
  }
  return word;
}

number_read fail(read_status status) {
  number_read read;
  read.status = status;
  if (status == read_status::read_error) read.error_number = input.error_number;
  if (status == read_status::not_a_number || status == read_status::out_of_range) {
    read.found = take_word(status == read_status::out_of_range);
  }
  return read;
}

}  // namespace

number_read read_int() {
  if (!skip_whitespace()) {
    return fail(input.out_of_memory       ? read_status::out_of_memory
                : input.error_number != 0 ? read_status::read_error
                                          : read_status::end_of_input);
  }
  const char* p = input.buffer + input.next;
  const bool negative = *p == '-';
  p += is_sign(*p);
  if (!is_digit(*p)) return fail(read_status::not_a_number);
  const std::uint64_t limit = std::uint64_t{std::numeric_limits<std::int32_t>::max()} + negative;
  std::uint64_t magnitude = 0;
  for (; is_digit(*p); ++p) {
    magnitude = magnitude * 10 + static_cast<unsigned>(*p - '0');
    if (magnitude > limit) return fail(read_status::out_of_range);
  }
  input.next = static_cast<std::size_t>(p - input.buffer);
  number_read read;
  read.value = static_cast<std::int32_t>(negative ? 0 - magnitude : magnitude);
  return read;
}

std::size_t read_ints(std::int32_t* values, std::size_t count) {
  const scan_result scan =
      scan_numbers(input.buffer + input.next, input.buffer + input.end, values, count);
  input.next = static_cast<std::size_t>(scan.stop - input.buffer);
  return scan.count;
}

// Counted back from the end of what was taken, past any bytes that
// squeeze_held_back() dropped, which lie before the read position when it
// is at the end of a number.
std::size_t input_offset() { return input.taken - (input.filled - input.next); }

void use_input(int fd, std::size_t block_size) {
  std::free(input.buffer);
  input = input_state{};
  input.fd = fd;
  input.block_size = std::max<std::size_t>(block_size, 1);
}

void use_input_text(std::string_view text, std::size_t block_size) {
  use_input(-1, block_size);
  input.text = text;
}
