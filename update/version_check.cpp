#include "update/version_check.h"

#include "app/log.h"
#include "app/product.h"
#include "base/text.h"
#include "update/http_client.h"

bool VersionInfo::IsUsable() const {
  return version && date && download && !version->empty() && !download->empty();
}

VersionInfo ParseVersionFile(std::u16string_view text) {
  std::u16string normalised = ReplaceAll(text, u"\r\n", u"\n");
  normalised = ReplaceAll(normalised, u"\n\r", u"\n");
  normalised = ReplaceAll(normalised, u"\r", u"");
  VersionInfo info;
  for (const std::u16string& line : Split(normalised, u"\n")) {
    const std::size_t equals = line.find(u'=');
    if (equals == std::u16string::npos) {
      continue;
    }
    const std::u16string key = TrimBlanks(std::u16string_view(line).substr(0, equals));
    std::u16string value = TrimBlanks(std::u16string_view(line).substr(equals + 1));
    if (EqualsNoCase(key, u"version")) {
      info.version = std::move(value);
    } else if (EqualsNoCase(key, u"date")) {
      info.date = std::move(value);
    } else if (EqualsNoCase(key, u"download")) {
      info.download = std::move(value);
    }
  }
  return info;
}

void CheckVersionOnStartup(const VersionCheckServices& services) {
  HttpClient client(services.openTransport(), services.versionFileUrl);
  if (!client.Request(u"GET")) {
    Log(kVersionDownloadFailed);
    return;
  }
  const VersionInfo info = ParseVersionFile(client.GetResponseText());
  if (!info.IsUsable()) {
    Log(kVersionParseFailed);
    return;
  }
  if (*info.version == kProductVersion) {
    Log(u"Your version of Vantreloquin is up to date.");
    return;
  }
  std::u16string message = Format(
      u"Your installed version of Vantreloquin does not match the latest version.\r\n"
      u"Version \"%s\" is available for download now.",
      *info.version);
  Log(message);
  if (!services.isInstalledCopy()) {
    message +=
        u"\r\n\r\nThe \"Software Update\" feature relies on the installer...\r\n"
        u"Because this copy was not installed, you will need to update manually.";
  }
  std::lock_guard lock(services.noticeLock);
  services.notice = std::move(message);
  services.updateAvailable = true;
}
