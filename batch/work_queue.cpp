#include "batch/work_queue.h"

#include <algorithm>

#include "batch/path_order.h"

namespace batch {

std::optional<std::size_t> WorkQueue::Add(std::string path) {
  // Only paths that compare equal to it in queue order (letter case aside) can be the same string.
  const auto [first, place] =
      std::equal_range(paths_.begin(), paths_.end(), path,
                       [](const std::string& a, const std::string& b) { return PathLess(a, b); });
  if (std::find(first, place, path) != place) return std::nullopt;
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
