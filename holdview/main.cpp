// holdview: reads a resource-allocation graph and prints it with its adjacency list.
#include "viewer.h"

int main() { return run_viewer(); }
