// The floor of the benchmark: reads every number of the input with the
// programs' reader and writes as many bytes as a program's output, through
// the same output buffer, without building a graph.
//
//   floor BYTES < input
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "graph_core/console.h"
#include "graph_core/reader.h"

// Where the sum of the numbers read goes, so that the compiler cannot leave
// out converting them: without a use of the values, it drops the conversion
// of every short number and keeps only the range checks of the long ones.
volatile std::uint32_t number_sum;

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  std::size_t bytes = std::strtoull(argv[1], nullptr, 10);
  // As the programs read: many numbers at a time, one where that stops.
  std::array<std::int32_t, 512> numbers;
  std::uint32_t sum = 0;
  for (;;) {
    const std::size_t got = read_ints(numbers.data(), numbers.size());
    for (std::size_t i = 0; i < got; ++i) sum += static_cast<std::uint32_t>(numbers[i]);
    if (got > 0) continue;
    const number_read read = read_int();
    if (read.status != read_status::number) break;
    sum += static_cast<std::uint32_t>(read.value);
  }
  number_sum = sum;
  // As long as a listing line, so the buffer fills as often.
  constexpr std::string_view LINE = "  123 -> 45\n";
  for (; bytes >= LINE.size(); bytes -= LINE.size()) put_text(LINE);
  put_text(LINE.substr(0, bytes));
  return end_run("floor", std::nullopt);
}
