// The flow of holddraw, from reading the graph to the exit status.
#pragma once

// Reads a graph and, when one follows, a claim edge, and writes the graph as
// a Graphviz drawing with the cycle that deadlocks it in red. Returns the
// exit status: 0, or 1 after reporting bad input, a lack of memory or a
// failed write on stderr, with nothing on stdout for bad input.
int run_drawer();
// Reads what run_drawer() reads, and writes the wait-for graph: the
// processes, with an arrow p -> q labelled r for each resource r that process
// p waits for and process q holds, coloured as run_drawer() colours the
// cycles, the arrows that only the claim edge makes dashed. Returns the exit
// status as run_drawer() does.
int run_wait_for();
