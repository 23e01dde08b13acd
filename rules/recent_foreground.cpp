#include "rules/recent_foreground.h"

#include <utility>

#include "base/text.h"

void RecentForegroundHistory::AddRecentForeground(std::u16string_view name) {
  std::u16string trimmed = TrimBlanks(name);
  if (trimmed.empty()) {
    return;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  std::erase_if(entries_,
                [&](const std::u16string& entry) { return EqualsNoCase(entry, trimmed); });
  entries_.insert(entries_.begin(), std::move(trimmed));
  if (entries_.size() > kMaxEntries) {
    entries_.resize(kMaxEntries);
  }
}

std::vector<std::u16string> RecentForegroundHistory::SnapshotRecentForeground() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return entries_;
}
