#include "graph_core/number_spans.h"

#include <unistd.h>

#include <algorithm>

#include "graph_core/graph.h"
#include "graph_core/reader.h"

namespace {

// Reads the next number of `text` into `found`; returns how the read ended.
read_status read_located(std::string_view text, text_numbers& found) {
  const number_read read = read_int();
  if (read.status != read_status::number) return read.status;
  // A number is a sign and digits, and no digit comes right before it.
  std::size_t start = input_offset();
  while (start > 0 && text[start - 1] >= '0' && text[start - 1] <= '9') --start;
  if (start > 0 && (text[start - 1] == '+' || text[start - 1] == '-')) --start;
  found.numbers.push_back(
      {read.value, static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(input_offset())});
  return read_status::number;
}

// Reads `count` numbers of `text` into `found`; returns whether it read them all.
bool read_many_located(std::string_view text, text_numbers& found, std::int64_t count) {
  for (; count > 0; --count) {
    if (read_located(text, found) != read_status::number) return false;
  }
  return true;
}

// Reads what lockprobe reads, as far as it accepts it; returns whether it
// read all it was asked for.
bool read_all(std::string_view text, bool with_edges, text_numbers& found) {
  if (!read_many_located(text, found, 3)) return false;
  const auto count = [&found](std::size_t k) { return found.numbers[k].value; };
  if (count(0) > MAX_PER_KIND || count(1) > MAX_PER_KIND) return false;
  if (!with_edges) return true;
  if (!read_many_located(text, found, 2 * std::int64_t{std::max(count(2), 0)})) return false;
  // The claim edge, when the input goes on.
  const read_status claim = read_located(text, found);
  if (claim == read_status::end_of_input) return true;
  return claim == read_status::number && read_many_located(text, found, 1);
}

}  // namespace

text_numbers locate_numbers(std::string_view text, bool with_edges) {
  text_numbers found;
  use_input_text(text);
  found.whole = read_all(text, with_edges, found);
  use_input(STDIN_FILENO);
  return found;
}
