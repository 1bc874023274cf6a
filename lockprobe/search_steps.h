// The steps of lockprobe's searches as text, for a view that shows the
// search as it goes.
#pragma once

// Reads a graph and, when one follows, a claim edge, without prompts, and
// writes a line for each step of lockprobe's two searches: search 1 on the
// graph as typed and, when a claim edge was typed, search 2 on the graph
// with it. A line is "S enter ID", "S look ID TARGET PLACE" or "S leave ID",
// where S is 1 or 2 and PLACE is the edge's place in the node's list, 0 for
// the newest. Returns the exit status: 0, or 1 after reporting bad input,
// for which no step is listed, a lack of memory or a failed write.
int run_search_steps();
