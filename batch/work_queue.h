// WorkQueue: the source paths waiting to be downsized, kept in queue order (batch/path_order.h), so that
// entry 0 is always the path that sorts first. Paths are UTF-8. Not thread-safe: the window's thread only.
#ifndef PIXMELD_BATCH_WORK_QUEUE_H_
#define PIXMELD_BATCH_WORK_QUEUE_H_

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace batch {

class WorkQueue {
 public:
  // Inserts `path` at its sorted place, after the paths that compare equal to it, and returns its index,
  // where a list that shows the queue inserts it too. A path the queue already holds (the same string)
  // is listed once: nothing is added and the result is empty.
  std::optional<std::size_t> Add(std::string path);

  std::size_t count() const { return paths_.size(); }
  bool empty() const { return paths_.empty(); }
  // REQUIRES: index < count().
  const std::string& entry(std::size_t index) const { return paths_[index]; }

  // The index of the first entry that is exactly `path`.
  std::optional<std::size_t> Find(const std::string& path) const;

  // REQUIRES: index < count().
  void Remove(std::size_t index);
  void Clear() { paths_.clear(); }

 private:
  std::vector<std::string> paths_;
};

}  // namespace batch

#endif  // PIXMELD_BATCH_WORK_QUEUE_H_
