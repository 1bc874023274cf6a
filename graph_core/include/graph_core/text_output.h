// Writing text and integers to standard output through one buffer.
#pragma once

#include <cstdint>
#include <string_view>

void put_text(std::string_view text);
void put_int(std::int32_t value);
// Writes out everything buffered so far; the prompts call it before input is read.
void flush_output();
// Adds a line break when the output written so far ends inside a line.
void end_output_line();
// The errno of the first failed write, or 0 when every write succeeded.
int output_error();

// Writes to this file descriptor instead of standard output from now on.
void use_output_fd(int fd);
