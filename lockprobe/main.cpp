// lockprobe: reads a resource-allocation graph, says whether it is deadlocked,
// then says whether one more claim edge would leave it with a cycle.
#include "checker.h"

int main() { return run_checker(); }
