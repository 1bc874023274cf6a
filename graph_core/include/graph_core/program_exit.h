// How both programs end: one place that reports failures on stderr.
#pragma once

#include <string_view>

// Completes stdout's last line, writes "program: message" to stderr and returns 1.
int exit_with_error(std::string_view program, std::string_view message);
// Flushes stdout; returns 0, or reports the write error and returns 1.
int exit_after_output(std::string_view program);
