// The pool of the host adapters: blocks of every size it keeps and beyond,
// aligned, never handed out twice while held, and reused once given back.
#include "com/host_adapter/adapter_pool.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace {

using vantelo::com::host::AdapterPool;
using vantelo::com::host::PoolRef;

// Random requests and releases of sizes up to beyond the largest the pool
// keeps. Each held block is filled with a pattern of its own and checked when
// it is given back: a block handed out twice, or overlapping another, breaks
// a pattern.
TEST(AdapterPool, HeldBlocksAreAlignedApartAndKeepTheirContents) {
  const PoolRef pool = AdapterPool::Create();
  struct Held {
    unsigned char* block;
    std::size_t size;
    unsigned char fill;
  };
  std::vector<Held> held;
  const auto giveBack = [&](std::size_t k) {
    const Held h = held[k];
    for (std::size_t i = 0; i < h.size; ++i)
      ASSERT_EQ(h.block[i], h.fill) << "block of " << h.size << " bytes, byte " << i;
    pool->Deallocate(h.block, h.size);
    held[k] = held.back();
    held.pop_back();
  };
  std::mt19937 random(21);
  for (int step = 0; step < 20000; ++step) {
    if (held.empty() || random() % 3 != 0) {
      const std::size_t size = 1 + random() % 400;
      auto* block = static_cast<unsigned char*>(pool->Allocate(size));
      ASSERT_EQ(reinterpret_cast<std::uintptr_t>(block) % alignof(std::max_align_t), 0u);
      const auto fill = static_cast<unsigned char>(step);
      std::memset(block, fill, size);
      held.push_back({block, size, fill});
    } else {
      giveBack(random() % held.size());
    }
  }
  while (!held.empty())
    giveBack(held.size() - 1);
}

// A block given back is the next one handed out for a request that rounds to
// the same size, so that a save's adapters keep reusing a few blocks.
TEST(AdapterPool, ReusesABlockGivenBackForTheSameSize) {
  const struct {
    std::size_t given;
    std::size_t requested;
  } cases[] = {{1, 16}, {16, 1}, {17, 32}, {100, 112}, {241, 256}};
  const PoolRef pool = AdapterPool::Create();
  for (const auto& c : cases) {
    void* first = pool->Allocate(c.given);
    void* other = pool->Allocate(c.given);
    pool->Deallocate(first, c.given);
    void* again = pool->Allocate(c.requested);
    EXPECT_EQ(again, first) << c.given << " then " << c.requested << " bytes";
    pool->Deallocate(again, c.requested);
    pool->Deallocate(other, c.given);
  }
}

} // namespace
