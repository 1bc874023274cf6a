#include "block_pool.h"

#include <sys/mman.h>

#include <cstddef>
#include <new>

// Blocks are handed out from chunks of BLOCKS_PER_CHUNK blocks each. A chunk
// is mapped with its pages filled in at once: one system call for all of its
// blocks costs less than the page fault that each would take on its first
// write. The chunk stays small, since a program's peak memory counts all of
// its pages from the start.
namespace {

constexpr std::size_t BLOCKS_PER_CHUNK = 16;
static_assert(sizeof(edge_block) == 4096, "a block fills one page, so that chunks hold no gaps");

#ifdef MAP_POPULATE
constexpr int FILLED_IN = MAP_POPULATE;
#else
constexpr int FILLED_IN = 0;  // pages come in on their first write
#endif

struct block_pool {
  edge_block* next = nullptr;       // the newest chunk's first block not handed out
  edge_block* chunk_end = nullptr;  // the end of the newest chunk
  edge_block* returned = nullptr;   // blocks given back, chained through `older`
  std::size_t chunks = 0;           // chunks mapped so far
};

block_pool pool;

}  // namespace

edge_block* take_block() {
  if (edge_block* const block = pool.returned) {
    pool.returned = block->older;
    return block;
  }
  if (pool.next == pool.chunk_end) {
    void* const chunk = mmap(nullptr, BLOCKS_PER_CHUNK * sizeof(edge_block), PROT_READ | PROT_WRITE,
                             MAP_PRIVATE | MAP_ANONYMOUS | FILLED_IN, -1, 0);
    if (chunk == MAP_FAILED) return nullptr;
    ++pool.chunks;
    pool.next = static_cast<edge_block*>(chunk);
    pool.chunk_end = pool.next + BLOCKS_PER_CHUNK;
  }
  return new (pool.next++) edge_block;
}

void give_back(edge_block* block) {
  block->older = pool.returned;
  pool.returned = block;
}

std::size_t blocks_mapped() { return pool.chunks * BLOCKS_PER_CHUNK; }
