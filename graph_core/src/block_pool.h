// Where the edge lists' blocks come from.
#pragma once

#include <cstddef>

#include "graph_core/graph.h"

// A block for a node's edge list, or null when no memory is left for one.
// Its contents are undefined.
edge_block* take_block();
// Takes back a block that take_block() gave, for later calls to hand out again.
void give_back(edge_block* block);
// How many blocks have been taken from the system so far, in use or not.
std::size_t blocks_mapped();
