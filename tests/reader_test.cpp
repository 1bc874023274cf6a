// The reader against a plain reading of "%d" on generated texts: numbers of
// every length and form, every whitespace byte and the bytes beside them in
// the character table, at every offset of the 64-byte scan and across the
// edges of blocks of many sizes.
#include "graph_core/reader.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <charconv>
#include <random>
#include <vector>

#include "graph_core/graph.h"

namespace {

constexpr const char* SPACES = " \t\n\v\f\r";

// What a text reads as: its numbers, how the reading ended and the word it
// ended on, quoted as the messages quote it.
struct reading {
  std::vector<std::int32_t> numbers;
  read_status end = read_status::end_of_input;
  std::string found;

  bool operator==(const reading&) const = default;
};

reading read_plainly(std::string_view text) {
  reading read;
  for (std::size_t at = 0;;) {
    if ((at = text.find_first_not_of(SPACES, at)) == std::string_view::npos) return read;
    const std::size_t sign = text[at] == '+' || text[at] == '-';
    const std::size_t digits =
        std::min(text.find_first_not_of("0123456789", at + sign), text.size());
    std::int32_t value = 0;
    const char* const first = text.data() + at + (text[at] == '+');
    const bool in_range = std::from_chars(first, text.data() + digits, value).ec == std::errc{};
    if (digits > at + sign && in_range) {
      read.numbers.push_back(value);
      at = digits;
      continue;
    }
    std::string word{text.substr(at, text.find_first_of(SPACES, at) - at)};
    read.end = digits > at + sign ? read_status::out_of_range : read_status::not_a_number;
    if (read.end == read_status::out_of_range) {
      word.erase(sign, word.find_first_not_of('0', sign) - sign);  // its leading zeros
    }
    read.found = word.size() > QUOTE_LIMIT ? word.substr(0, QUOTE_LIMIT) + "..." : word;
    return read;
  }
}

// Reads the input as the dialogue does: up to `capacity` numbers at a time,
// and one at a time where that stops.
reading read_fast(std::size_t capacity) {
  constexpr std::int32_t UNTOUCHED = 0x5eed;
  reading read;
  std::vector<std::int32_t> values(capacity + 1, UNTOUCHED);
  for (;;) {
    const std::size_t got = read_ints(values.data(), capacity);
    EXPECT_EQ(values[capacity], UNTOUCHED) << "more numbers than asked for";
    read.numbers.insert(read.numbers.end(), values.data(), values.data() + got);
    if (got > 0) continue;
    const number_read one = read_int();
    if (one.status != read_status::number)
      return {read.numbers, one.status, std::string{one.found.text()}};
    read.numbers.push_back(one.value);
  }
}

// Numbers in every form, apart by runs of whitespace; now and then a number
// out of range, or a byte next to a digit, sign or whitespace in the
// character table, ends the reading.
const std::string ODD_BYTES{"/:,.*!\0\x08\x0e\x1f\x80\xff+-", 14};

std::string random_text(std::mt19937& random) {
  const auto pick = [&random](std::size_t count) { return random() % count; };
  static const char* const LIMITS[] = {" 2147483647", " -2147483648", " 2147483648",
                                       " -2147483649"};
  std::string text;
  for (std::size_t words = 2 + pick(40); words > 0; --words) {
    // Now and then no whitespace: the words then run into one, or a sign parts them.
    text.append(pick(8) == 0 ? 0 : 1 + pick(3), SPACES[pick(6)]);
    text += "+- "[pick(3)];
    text.append(pick(4) == 0 ? pick(pick(2) == 0 ? 10 : 100) : 0, '0');
    for (std::size_t digits = 1 + pick(pick(8) == 0 ? 12 : 10); digits > 0; --digits) {
      text += static_cast<char>('0' + pick(10));
    }
    if (pick(60) == 0) text += LIMITS[pick(4)];
  }
  if (pick(2) == 0) text.insert(pick(text.size()), 1, ODD_BYTES[pick(14)]);
  return text;
}

// Each odd byte where it matters: before a digit, after one, between a sign
// and a digit, after whitespace; then the random texts. Numbers follow, so
// that the scan of 64 bytes at a time reaches the odd byte.
std::vector<std::string> texts_to_read() {
  std::vector<std::string> texts;
  std::string numbers;
  for (int i = 0; i < 30; ++i) numbers += " " + std::to_string(i);
  for (const char odd : ODD_BYTES) {
    for (const auto& [before, after] :
         {std::pair{"7 ", "5 8"}, {"7 1", " 8"}, {"7 -", "5"}, {"7 12", "-3"}, {"7\t", " 8"}}) {
      texts.push_back(before + std::string(1, odd) + after + numbers);
    }
  }
  std::mt19937 random(2026);
  while (texts.size() < 220) texts.push_back(random_text(random));
  return texts;
}

TEST(Reader, ReadsAsThePlainReadingAtEveryOffsetAndBlockEdge) {
  const std::vector<std::string> texts = texts_to_read();
  for (std::size_t t = 0; t < texts.size(); ++t) {
    const std::string& text = texts[t];
    for (std::size_t offset = 0; offset < 64; ++offset) {
      const std::string input = std::string(offset, ' ') + text;
      for (const std::size_t block : {std::size_t{1} << 16, 1 + (offset * 7 + t) % 90}) {
        use_input_text(input, block);
        ASSERT_EQ(read_fast(offset % 2 == 0 ? 1 + t % 5 : 512), read_plainly(input))
            << "blocks of " << block << ": " << input;
      }
    }
  }
}

TEST(Reader, ReportsAReadThatFails) {
  use_input(open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  const auto error = read_graph_unprompted();
  EXPECT_EQ(error ? error->message() : "", "read error: Is a directory");
}

}  // namespace
