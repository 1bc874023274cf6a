// Reading decimal integers from standard input in large blocks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum class read_result { number, end_of_input, not_a_number, out_of_range, read_error };

// Reads one integer as "%d" does: whitespace, an optional sign, decimal digits;
// the first character after the digits is left for the next read.
// Sets `value` only when the result is read_result::number.
read_result read_int(std::int32_t& value);

// What made the last read fail: the offending text as found in the input
// (cut short when long), or the system's reason for a read error.
const std::string& failure_detail();

// Reads from `text` instead of standard input from now on.
void use_input_text(std::string_view text);

// The outcome of reading the two numbers "u v" of an edge.
struct edge_read {
  read_result result;  // read_result::number when both numbers were read
  bool started;        // u was read before the failure
  std::int32_t u;
  std::int32_t v;
};

// Reads the source and the target of one edge.
edge_read read_edge_numbers();
