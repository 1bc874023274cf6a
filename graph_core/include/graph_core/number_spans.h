// Where the numbers that the programs read lie in a text, so that an editor
// can change the text number by number and the programs then read what it
// meant to write.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// A number as read: its value and the bytes of the text it spans.
struct number_span {
  std::int32_t value = 0;
  std::uint32_t start = 0;
  std::uint32_t end = 0;  // one past its last digit

  bool operator==(const number_span&) const = default;
};

// The numbers of a text that the programs read, in their order.
struct text_numbers {
  // The three counts, then, when asked for, the edges' two numbers each and
  // the claim edge's, as far as they could be read.
  std::vector<number_span> numbers;
  // Whether all that was asked for was read as the programs accept it; a
  // text that ends before the claim edge is whole.
  bool whole = false;
};

// Reads `text` as lockprobe does: the counts and, with `with_edges`, the
// edges and the claim edge, stopping where lockprobe would refuse the text.
// Returns the numbers read, where each lies, and whether the reading was whole.
text_numbers locate_numbers(std::string_view text, bool with_edges);
