// Writes a minidump and a short report into a folder when the process meets
// a fault nobody handles.
#pragma once

#include <cstdint>
#include <string>

struct CrashReporterConfig {
  std::u16string appName;
  std::u16string version;
  std::uint32_t flags = 0;
  std::u16string supportEmail;
  std::u16string supportServerHost;
  std::uint16_t supportServerPort = 0;
  std::u16string supportPage;
  // Where the dump and the report go; created when a fault happens.
  std::u16string reportFolder;
};

// Installs the process-wide unhandled-exception filter.
void InstallCrashReporter(const CrashReporterConfig& config);
