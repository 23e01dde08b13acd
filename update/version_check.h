// The version file on the update server ("key=value" lines naming the newest
// version, its date and its installer) and the check made at start-up.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "update/http_transport.h"

struct VersionInfo {
  std::optional<std::u16string> version;
  std::optional<std::u16string> date;
  std::optional<std::u16string> download;

  // All three keys present, version and download not empty.
  bool IsUsable() const;
};

// CR LF and then LF CR become LF, a remaining CR is removed; lines without
// "=" are ignored; the key (any case) and the value lose surrounding blanks
// and tabs; the value keeps any further "="; a later key wins.
VersionInfo ParseVersionFile(std::u16string_view text);

inline constexpr std::u16string_view kVersionDownloadFailed =
    u"Failed to download version info file.";
inline constexpr std::u16string_view kVersionParseFailed = u"Failed to parse version info file.";

// What the start-up check works through. The notice and the flag are the
// controller's; the user-interface thread shows the notice.
struct VersionCheckServices {
  HttpTransportFactory openTransport;
  std::u16string versionFileUrl;
  // Whether this copy runs from its installation folder.
  std::function<bool()> isInstalledCopy;
  std::mutex& noticeLock;
  std::u16string& notice;
  std::atomic<bool>& updateAvailable;
};

// Fetches and compares the version file; logs the outcome, and when the
// versions differ leaves the message in the notice and raises the flag.
// Runs on a worker: the request blocks.
void CheckVersionOnStartup(const VersionCheckServices& services);
