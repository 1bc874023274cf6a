#include "graph_core/input_error.h"

#include <cstdio>

namespace {

// Keeps a message on one line and its quotes unambiguous.
std::string escaped(std::string_view text) {
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7f && c != '"' && c != '\\') {
      out.push_back(c);
    } else {
      char code[5];
      std::snprintf(code, sizeof code, "\\x%02x", byte);
      out += code;
    }
  }
  return out;
}

}  // namespace

input_error describe_read_failure(read_result result, bool started, std::string_view what) {
  std::string message;
  switch (result) {
    case read_result::end_of_input:
      message = started ? "input ended in " : "input ended before ";
      message += what;
      break;
    case read_result::not_a_number:
      message = "expected " + std::string{what} + ", found \"" + escaped(failure_detail()) + "\"";
      break;
    case read_result::out_of_range:
      message = "expected " + std::string{what} + ", found out-of-range number \"" +
                escaped(failure_detail()) + "\"";
      break;
    case read_result::read_error:
      message = "read error: " + failure_detail();
      break;
    case read_result::number:
      break;
  }
  return input_error{message};
}
