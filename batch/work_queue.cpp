#include "batch/work_queue.h"

#include <algorithm>

#include "batch/path_order.h"

namespace batch {

std::size_t WorkQueue::Add(std::string path) {
  const auto place =
      std::upper_bound(paths_.begin(), paths_.end(), path,
                       [](const std::string& a, const std::string& b) { return PathLess(a, b); });
  const auto inserted = paths_.insert(place, std::move(path));
  return static_cast<std::size_t>(inserted - paths_.begin());
}

std::optional<std::size_t> WorkQueue::Find(const std::string& path) const {
  const auto found = std::find(paths_.begin(), paths_.end(), path);
  if (found == paths_.end()) return std::nullopt;
  return static_cast<std::size_t>(found - paths_.begin());
}

void WorkQueue::Remove(std::size_t index) {
  paths_.erase(paths_.begin() + static_cast<std::ptrdiff_t>(index));
}

}  // namespace batch
