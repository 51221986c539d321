#include "com/host_adapter/adapter_pool.h"

namespace vantelo::com::host {

PoolRef AdapterPool::Create() { return PoolRef(*new AdapterPool()); }

void PoolRef::Destroy(AdapterPool* pool) noexcept { delete pool; }

void* AdapterPool::Allocate(std::size_t bytes) {
  const std::size_t granules = (bytes + Granule - 1) / Granule;
  if (granules == 0 || granules > Sizes)
    return ::operator new(bytes);
  FreeBlock*& head = free_[granules - 1];
  if (head) {
    FreeBlock* block = head;
    head = block->next;
    return block;
  }
  const std::size_t size = granules * Granule;
  if (unusedBytes_ < size) {
    // What is left of the chunk is too small for this size; it stays unused.
    auto chunk = std::make_unique_for_overwrite<std::byte[]>(ChunkBytes);
    unused_ = chunk.get();
    chunks_.push_back(std::move(chunk));
    unusedBytes_ = ChunkBytes;
  }
  void* block = unused_;
  unused_ += size;
  unusedBytes_ -= size;
  return block;
}

void AdapterPool::Deallocate(void* block, std::size_t bytes) noexcept {
  const std::size_t granules = (bytes + Granule - 1) / Granule;
  if (granules == 0 || granules > Sizes) {
    ::operator delete(block);
    return;
  }
  FreeBlock*& head = free_[granules - 1];
  head = ::new (block) FreeBlock{head};
}

} // namespace vantelo::com::host
