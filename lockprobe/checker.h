// The flow of lockprobe, from the first prompt to the exit status.
#pragma once

// Reads a graph, prints it and its verdict, then reads a claim edge and prints
// the verdict on the graph with it. Returns the exit status: 0, or 1 after
// reporting bad input, a lack of memory or a failed write on stderr.
int run_checker();
