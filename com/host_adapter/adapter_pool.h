// Memory for host adapters. Every object the host returns gets an adapter of
// its own, reference counted as the core's model wants (Ref<T>), and most
// live for one step: a save of a drawing with ten thousand views makes eighty
// thousand of them. The process heap takes a lock and searches its free lists
// for each; a pool keeps a free list for each block size, carved from chunks
// it owns, and takes blocks back as their adapters go away.
//
// A pool serves the adapters reached from one root: the add-in site given at
// activation, or the document and context of one save notification. Each
// adapter is allocated together with its reference count
// (std::allocate_shared) through a PoolAllocator, which owns the pool while
// the adapter lives, and an adapter makes the adapters of its results from
// its own pool. The pool goes when its root and every adapter made from it
// are gone.
//
// A pool is used on one thread only, and counts its owners without atomics:
// the add-in lives in a single-threaded apartment, where every call on its
// objects, and so every adapter made or released, runs on the apartment's
// thread.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace vantelo::com::host {

class AdapterPool;

// One owner of a pool.
class PoolRef {
public:
  explicit PoolRef(AdapterPool& pool) noexcept;
  PoolRef(const PoolRef& other) noexcept : PoolRef(*other.pool_) {}
  PoolRef& operator=(PoolRef other) noexcept {
    std::swap(pool_, other.pool_);
    return *this;
  }
  ~PoolRef();

  AdapterPool& operator*() const noexcept { return *pool_; }
  AdapterPool* operator->() const noexcept { return pool_; }

private:
  // Out of line: inlined into a control block's release, the compiler cannot
  // see that an allocator copy still owns the pool, and warns of a use after
  // delete.
  static void Destroy(AdapterPool* pool) noexcept;

  AdapterPool* pool_;
};

class AdapterPool {
public:
  // A new pool, with the returned reference as its only owner.
  static PoolRef Create();

  AdapterPool(const AdapterPool&) = delete;
  AdapterPool& operator=(const AdapterPool&) = delete;

  // A block of at least `bytes`, aligned for any adapter; larger blocks than
  // the pool keeps come from operator new. Throws std::bad_alloc.
  void* Allocate(std::size_t bytes);
  // Takes back a block from Allocate with the same size.
  void Deallocate(void* block, std::size_t bytes) noexcept;

private:
  friend class PoolRef;

  static constexpr std::size_t Granule = alignof(std::max_align_t);
  static constexpr std::size_t Sizes = 16; // blocks of 1 to 16 granules
  static constexpr std::size_t ChunkBytes = 4096;

  struct FreeBlock {
    FreeBlock* next;
  };

  AdapterPool() = default;
  ~AdapterPool() = default;

  std::array<FreeBlock*, Sizes> free_{};
  std::vector<std::unique_ptr<std::byte[]>> chunks_;
  std::byte* unused_ = nullptr; // the rest of the newest chunk
  std::size_t unusedBytes_ = 0;
  std::size_t owners_ = 0;
};

inline PoolRef::PoolRef(AdapterPool& pool) noexcept : pool_(&pool) { ++pool_->owners_; }

inline PoolRef::~PoolRef() {
  if (--pool_->owners_ == 0)
    Destroy(pool_);
}

// A standard allocator over a pool, for std::allocate_shared; each copy owns
// the pool.
template <class T> class PoolAllocator {
public:
  using value_type = T;

  explicit PoolAllocator(AdapterPool& pool) noexcept : pool_(pool) {}
  template <class U> PoolAllocator(const PoolAllocator<U>& other) noexcept : pool_(other.pool_) {}

  T* allocate(std::size_t n) {
    static_assert(alignof(T) <= alignof(std::max_align_t));
    if (n > static_cast<std::size_t>(-1) / sizeof(T))
      throw std::bad_alloc();
    return static_cast<T*>(pool_->Allocate(n * sizeof(T)));
  }
  void deallocate(T* block, std::size_t n) noexcept { pool_->Deallocate(block, n * sizeof(T)); }

  template <class U> bool operator==(const PoolAllocator<U>& other) const noexcept {
    return &*pool_ == &*other.pool_;
  }

private:
  template <class U> friend class PoolAllocator;
  PoolRef pool_;
};

} // namespace vantelo::com::host
