// A zero-filled block of memory that is locked while it is read or written. Pictures travel between
// stages in these blocks. Ownership is move-only, so handing a block over is a move and the block is
// released exactly once, by whoever holds it last. Not thread-safe: one owner uses a block at a time.
#ifndef PIXMELD_PLATFORM_MEMORY_BLOCK_H_
#define PIXMELD_PLATFORM_MEMORY_BLOCK_H_

#include <cstddef>
#include <memory>

namespace platform {

class MemoryBlock {
 public:
  // An empty block: no memory, Lock() gives null.
  MemoryBlock() = default;

  // A zero-filled block of `bytes` bytes; empty when the memory cannot be had or `bytes` is 0.
  static MemoryBlock Allocate(std::size_t bytes);

  MemoryBlock(MemoryBlock&& other) noexcept;
  MemoryBlock& operator=(MemoryBlock&& other) noexcept;
  MemoryBlock(const MemoryBlock&) = delete;
  MemoryBlock& operator=(const MemoryBlock&) = delete;
  ~MemoryBlock() = default;

  bool empty() const { return data_ == nullptr; }
  explicit operator bool() const { return !empty(); }
  std::size_t size() const { return size_; }

  // Returns the block's memory, or null when the block is empty. Locks nest; each Lock() is paired
  // with one Unlock().
  void* Lock();
  void Unlock();
  bool locked() const { return lock_count_ > 0; }

  // Releases the memory now; the block becomes empty.
  void Free();

 private:
  struct FreeMemory {
    void operator()(unsigned char* p) const;
  };

  std::unique_ptr<unsigned char, FreeMemory> data_;
  std::size_t size_ = 0;
  int lock_count_ = 0;
};

// For tests: while one of these lives, every allocation of more than `limit` bytes fails, as it would
// when memory runs out. Scopes nest; the innermost limit holds.
class ScopedAllocationLimit {
 public:
  explicit ScopedAllocationLimit(std::size_t limit);
  ~ScopedAllocationLimit();
  ScopedAllocationLimit(const ScopedAllocationLimit&) = delete;
  ScopedAllocationLimit& operator=(const ScopedAllocationLimit&) = delete;

 private:
  std::size_t previous_;
};

}  // namespace platform

#endif  // PIXMELD_PLATFORM_MEMORY_BLOCK_H_
