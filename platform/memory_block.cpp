#include "platform/memory_block.h"

#include <atomic>
#include <cassert>
#include <cstdlib>
#include <limits>
#include <utility>

namespace platform {
namespace {

std::atomic<std::size_t> g_allocation_limit{std::numeric_limits<std::size_t>::max()};

}  // namespace

void MemoryBlock::FreeMemory::operator()(unsigned char* p) const { std::free(p); }

MemoryBlock MemoryBlock::Allocate(std::size_t bytes) {
  MemoryBlock block;
  if (bytes == 0 || bytes > g_allocation_limit.load(std::memory_order_relaxed)) return block;
  // calloc hands out fresh zero pages for large blocks without touching them.
  block.data_.reset(static_cast<unsigned char*>(std::calloc(bytes, 1)));
  if (block.data_) block.size_ = bytes;
  return block;
}

MemoryBlock::MemoryBlock(MemoryBlock&& other) noexcept
    : data_(std::move(other.data_)),
      size_(std::exchange(other.size_, 0)),
      lock_count_(std::exchange(other.lock_count_, 0)) {}

MemoryBlock& MemoryBlock::operator=(MemoryBlock&& other) noexcept {
  if (this != &other) {
    data_ = std::move(other.data_);
    size_ = std::exchange(other.size_, 0);
    lock_count_ = std::exchange(other.lock_count_, 0);
  }
  return *this;
}

void* MemoryBlock::Lock() {
  if (empty()) return nullptr;
  ++lock_count_;
  return data_.get();
}

void MemoryBlock::Unlock() {
  assert(lock_count_ > 0 || empty());
  if (lock_count_ > 0) --lock_count_;
}

void MemoryBlock::Free() {
  data_.reset();
  size_ = 0;
  lock_count_ = 0;
}

ScopedAllocationLimit::ScopedAllocationLimit(std::size_t limit)
    : previous_(g_allocation_limit.exchange(limit)) {}

ScopedAllocationLimit::~ScopedAllocationLimit() { g_allocation_limit.store(previous_); }

}  // namespace platform
