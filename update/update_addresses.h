// The addresses the updater fetches. The server is a deployment value; tests
// pass a base address of their own.
#pragma once

#include <string>
#include <string_view>

#include "app/deployment.h"

inline constexpr std::u16string_view kVersionFilePath = u"/Vantreloquin/CurrentVersion.txt";

// "http://" followed by the update server's host name.
inline std::u16string UpdateServerBase() {
  return u"http://" + std::u16string(kUpdateServerHost);
}

// The version file on the server at base (scheme and host, no trailing slash).
inline std::u16string VersionFileUrl(std::u16string_view base = {}) {
  return (base.empty() ? UpdateServerBase() : std::u16string(base)) +
         std::u16string(kVersionFilePath);
}
