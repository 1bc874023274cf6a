// Where the numbers that the programs read lie in a text, so that an editor
// can change the text number by number and the programs then read what it
// meant to write.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "graph_core/graph.h"

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

// What may be odd in a graph as typed, for a learner: an edge the programs
// leave out or pass by, or one that no resource-allocation graph has.
enum class note_kind : std::uint8_t {
  negative_count,        // a count below zero, which counts none
  no_source,             // u names no node: the edge is left out
  no_target,             // v names no node: the search passes the edge by
  self_loop,             // u = v
  process_to_process,    // a process waits for a process
  resource_to_resource,  // a resource is held by a resource
  repeated,              // the same u v was typed before
  two_holders,           // a resource held by a second process
  both_ways,             // a process waits for a resource it holds
};

// One note: what is odd, about which count or edge, and where it was typed.
struct graph_note {
  note_kind kind = note_kind::negative_count;
  // For a count, its place among the counts, 0 to 2; for an edge, its
  // number as typed, 1 for the first, and one past the last for the claim edge.
  std::int32_t item = 0;
  std::int32_t u = 0;  // the edge's numbers, or the count in u
  std::int32_t v = 0;
  std::uint32_t start = 0;  // the bytes of the text that hold those numbers
  std::uint32_t end = 0;

  bool operator==(const graph_note&) const = default;
};

// The notes on a text and the graph it holds.
struct text_notes {
  std::vector<graph_note> notes;  // the first ones, as many as were asked for
  std::size_t total = 0;          // how many there are in all
  // Whether the text was read as lockprobe accepts it; a text it refuses
  // gets no note.
  bool whole = false;
  node_counts counts;  // none for a count below zero
  arrow_matrix typed;  // the arrows of the edges as typed
  std::optional<typed_edge> claim;
};

// Reads `text` as lockprobe does, in one pass, and notes each count below
// zero, then each edge in the order typed and the claim edge last, in the
// order of note_kind, a claim edge compared with the edges. Returns at most
// `limit` notes with where they lie, how many there are, and the graph's arrows.
text_notes note_text(std::string_view text, std::size_t limit);
