#include "graph_core/number_spans.h"

#include <unistd.h>

#include <algorithm>
#include <array>

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

// Reads `count` pairs of numbers, many at a time where the text is plain,
// and hands each to `take`; returns whether it read them all.
template <typename Take>
bool read_pairs(std::int64_t count, Take take) {
  constexpr std::int64_t PAIRS_PER_BATCH = 256;
  std::array<std::int32_t, 2 * PAIRS_PER_BATCH> numbers;
  while (count > 0) {
    const auto want = static_cast<std::size_t>(2 * std::min(count, PAIRS_PER_BATCH));
    std::size_t got = read_ints(numbers.data(), want);
    while (got < want) {  // where read_ints() stops, read_int() takes over
      const number_read read = read_int();
      if (read.status != read_status::number) return false;
      numbers[got++] = read.value;
      got += read_ints(numbers.data() + got, want - got);
    }
    for (std::size_t i = 0; i < want; i += 2) take(numbers[i], numbers[i + 1]);
    count -= static_cast<std::int64_t>(want / 2);
  }
  return true;
}

// The notes so far, and what the notes on an edge need to know of the
// edges typed before it.
struct noter {
  text_notes& found;
  std::size_t limit;
  // For each resource, the first two processes it was seen held by, or -1.
  std::array<std::array<std::int32_t, 2>, MAX_PER_KIND> holders;

  void note(note_kind kind, std::int32_t item, std::int32_t u, std::int32_t v = 0) {
    if (found.total++ < limit) found.notes.push_back({kind, item, u, v});
  }

  // Whether resource `u` was seen held by a process other than `v`.
  bool held_by_other(std::int32_t u, std::int32_t v) const {
    const auto& held = holders[static_cast<std::size_t>(u - RESOURCE_ID_BASE)];
    return (held[0] >= 0 && held[0] != v) || (held[1] >= 0 && held[1] != v);
  }

  void hold(std::int32_t u, std::int32_t v) {
    auto& held = holders[static_cast<std::size_t>(u - RESOURCE_ID_BASE)];
    if (held[0] < 0) {
      held[0] = v;
    } else if (held[0] != v && held[1] < 0) {
      held[1] = v;
    }
  }

  // Notes the edge u v, the `item`th typed, or the claim edge, which is
  // compared with the edges but not kept.
  void note_edge(std::int32_t item, std::int32_t u, std::int32_t v, bool claim) {
    const std::int32_t from = found.counts.dense_index(u);
    const std::int32_t to = found.counts.dense_index(v);
    if (from < 0) return note(note_kind::no_source, item, u, v);
    if (to < 0) return note(note_kind::no_target, item, u, v);
    const bool u_process = u < RESOURCE_ID_BASE;
    const bool v_process = v < RESOURCE_ID_BASE;
    const bool allocation = !u_process && v_process;
    if (u == v) {
      note(note_kind::self_loop, item, u, v);
    } else if (u_process == v_process) {
      note(u_process ? note_kind::process_to_process : note_kind::resource_to_resource, item, u, v);
    }
    auto& row = found.typed[static_cast<std::size_t>(from)];
    if (row[static_cast<std::size_t>(to)]) note(note_kind::repeated, item, u, v);
    if (allocation && held_by_other(u, v)) note(note_kind::two_holders, item, u, v);
    if (u_process != v_process &&
        found.typed[static_cast<std::size_t>(to)][static_cast<std::size_t>(from)]) {
      note(note_kind::both_ways, item, u, v);
    }
    if (claim) return;
    row.set(static_cast<std::size_t>(to));
    if (allocation) hold(u, v);
  }
};

// Reads the counts, the edges and the claim edge of the input into `found`,
// noting what is odd; returns whether lockprobe accepts what it read.
bool note_all(text_notes& found, std::size_t limit) {
  noter notes{found, limit, {}};
  for (auto& held : notes.holders) held = {-1, -1};
  std::array<std::int32_t, 3> counts;
  for (std::size_t k = 0; k < counts.size(); ++k) {
    const number_read read = read_int();
    if (read.status != read_status::number) return false;
    counts[k] = read.value;
  }
  if (counts[0] > MAX_PER_KIND || counts[1] > MAX_PER_KIND) return false;
  for (std::size_t k = 0; k < counts.size(); ++k) {
    if (counts[k] < 0)
      notes.note(note_kind::negative_count, static_cast<std::int32_t>(k), counts[k]);
  }
  found.counts = {std::max(counts[0], 0), std::max(counts[1], 0)};
  std::int32_t item = 0;
  const bool edges_read = read_pairs(std::max(counts[2], 0), [&](std::int32_t u, std::int32_t v) {
    notes.note_edge(++item, u, v, false);
  });
  if (!edges_read) return false;
  const number_read u = read_int();
  if (u.status == read_status::end_of_input) return true;
  const number_read v = read_int();
  if (u.status != read_status::number || v.status != read_status::number) return false;
  found.claim = typed_edge{u.value, v.value};
  notes.note_edge(item + 1, u.value, v.value, true);
  return true;
}

// Gives each note the bytes of the numbers it is about, reading the text
// again only as far as the last note.
void locate_notes(std::string_view text, text_notes& found) {
  if (found.notes.empty()) return;
  const std::int32_t last = found.notes.back().item;
  const bool on_edges = found.notes.back().kind != note_kind::negative_count;
  text_numbers numbers;
  use_input_text(text);
  read_many_located(text, numbers, 3 + (on_edges ? 2 * std::int64_t{last} : 0));
  for (graph_note& note : found.notes) {
    const bool count = note.kind == note_kind::negative_count;
    const std::size_t first = count ? note.item : 1 + 2 * static_cast<std::size_t>(note.item);
    note.start = numbers.numbers[first].start;
    note.end = numbers.numbers[count ? first : first + 1].end;
  }
}

}  // namespace

text_numbers locate_numbers(std::string_view text, bool with_edges) {
  text_numbers found;
  use_input_text(text);
  found.whole = read_all(text, with_edges, found);
  use_input(STDIN_FILENO);
  return found;
}

text_notes note_text(std::string_view text, std::size_t limit) {
  text_notes found;
  use_input_text(text);
  found.whole = note_all(found, limit);
  if (found.whole) {
    locate_notes(text, found);
  } else {
    found.notes.clear();
    found.total = 0;
  }
  use_input(STDIN_FILENO);
  return found;
}
