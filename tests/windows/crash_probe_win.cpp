// Installs the crash reporter with the folder given on the command line and
// then faults, as a crashing program would.
#include <windows.h>

#include <string>

#include "base/wide_win.h"
#include "toolkit/crash_reporter_win.h"

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    return 2;
  }
  CrashReporterConfig config;
  config.appName = u"Vantreloquin";
  config.version = u"1.2-6.5";
  config.flags = 0x13;
  config.supportEmail = u"support@example.test";
  config.supportServerHost = u"crashes.example.test";
  config.supportServerPort = 10000;
  config.supportPage = u"https://example.test/support";
  config.reportFolder = FromWide(argv[1]);
  InstallCrashReporter(config);

  volatile int* nowhere = nullptr;
  *nowhere = 1;
  return 0;
}
