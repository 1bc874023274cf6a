// The flow of holdview, from the first prompt to the exit status.
#pragma once

// Reads a graph and prints it with its adjacency list. Returns the exit
// status: 0, or 1 after reporting bad input, a lack of memory or a failed
// write on stderr.
int run_viewer();
