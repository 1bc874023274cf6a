// The flow of holddraw, from reading the graph to the exit status.
#pragma once

// Reads a graph and, when one follows, a claim edge, and writes the graph as
// a Graphviz drawing with the cycle that deadlocks it in red. Returns the
// exit status: 0, or 1 after reporting bad input, a lack of memory or a
// failed write on stderr, with nothing on stdout for bad input.
int run_drawer();
