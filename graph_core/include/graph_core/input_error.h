// What went wrong while reading the input, and how to say it.
#pragma once

#include <string>
#include <string_view>

#include "graph_core/text_input.h"

// Why reading stopped, as a one-line message without the program's name.
struct input_error {
  std::string message;
};

// Describes a failed read of `what` (for example "the number of edges");
// `started` tells whether part of that item was read already.
input_error describe_read_failure(read_result result, bool started, std::string_view what);
