// The programs recently in the foreground, most recent first, for the rule
// editor's picker. The scanner thread adds while the user-interface thread
// takes snapshots.
#pragma once

#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

class RecentForegroundHistory {
 public:
  static constexpr std::size_t kMaxEntries = 30;

  // Puts the name (blanks and tabs trimmed) at the front, replacing entries
  // equal to it ignoring case; a blank name changes nothing. The oldest
  // entries beyond the limit fall off.
  void AddRecentForeground(std::u16string_view name);
  std::vector<std::u16string> SnapshotRecentForeground() const;

 private:
  mutable std::mutex mutex_;
  std::vector<std::u16string> entries_;
};
