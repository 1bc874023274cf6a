// Output through one buffer, to standard output, another file or a sink in
// memory, and the end of a run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

// Adds `text`, at most 4 KiB, to the output.
void put_text(std::string_view text);
// Adds `value` in decimal, as "%d" writes it.
void put_int(std::int32_t value);
// Returns room for `size` bytes, at most 4 KiB, at the end of the output; the
// bytes written there are added by commit_output.
char* reserve_output(std::size_t size);
// Adds the bytes written into the reserved room up to `end` to the output.
void commit_output(const char* end);
// Writes out everything added so far; a prompt calls it before input is read.
void flush_output();

// Ends the run: flushes the output and, when the run failed or a write did,
// completes the output's last line and writes "program: reason" to stderr,
// or to the sink that takes its place.
// Returns the exit status, 0 or 1.
int end_run(std::string_view program, std::optional<std::string_view> failure = std::nullopt);

// Writes to this file descriptor, and reports to stderr, from now on.
void use_output(int fd);
// Where a run in memory writes. `write` takes each piece of output and
// returns 0, or an errno when it fails; `report` takes the line that would
// go to stderr. Both are given `target`.
struct output_sink {
  void* target;
  int (*write)(void* target, const char* bytes, std::size_t size);
  void (*report)(void* target, const char* line, std::size_t size);
};

// Sends the output and the report of a failed run to `sink` from now on.
// The sink must outlive the writing.
void use_output_sink(const output_sink& sink);
