// The floor of the benchmark: reads every number of the input with the
// programs' reader, writes each pair it read as a listing line with the
// programs' number writer (and, for holdview, its target again as in the
// adjacency list), and pads with a fixed line to as many bytes as a
// program's output, through the same output buffer, without building a
// graph.
//
//   floor BYTES [adjacency] < input
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "graph_core/console.h"
#include "graph_core/reader.h"
#include "number_text.h"

namespace {

// Writes "  u -> v\n", and "v " after it for the adjacency list; returns
// the number of bytes written.
std::size_t put_pair(std::int32_t u, std::int32_t v, bool adjacency) {
  char* const start = reserve_output(3 * DECIMAL_ROOM + 8);
  char* p = std::copy_n("  ", 2, start);
  p = write_decimal(p, u);
  p = std::copy_n(" -> ", 4, p);
  p = write_decimal(p, v);
  *p++ = '\n';
  if (adjacency) {
    p = write_decimal(p, v);
    *p++ = ' ';
  }
  commit_output(p);
  return static_cast<std::size_t>(p - start);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::size_t bytes = std::strtoull(argv[1], nullptr, 10);
  const bool adjacency = argc > 2 && std::string_view(argv[2]) == "adjacency";
  std::size_t written = 0;
  // As the programs read: many numbers at a time, one where that stops.
  std::array<std::int32_t, 512> numbers;
  std::size_t held = 0;  // 1 when the last pair's first number is read and not yet written
  for (;;) {
    std::size_t got = read_ints(numbers.data() + held, numbers.size() - held);
    if (got == 0) {
      const number_read read = read_int();
      if (read.status != read_status::number) break;
      numbers[held] = read.value;
      got = 1;
    }
    got += held;
    for (std::size_t i = 0; i + 1 < got; i += 2) {
      written += put_pair(numbers[i], numbers[i + 1], adjacency);
    }
    held = got % 2;
    numbers[0] = numbers[got - 1];
  }
  constexpr std::string_view LINE = "  123 -> 45\n";
  for (; written + LINE.size() <= bytes; written += LINE.size()) put_text(LINE);
  if (written < bytes) put_text(LINE.substr(0, bytes - written));
  return end_run("floor", std::nullopt);
}
