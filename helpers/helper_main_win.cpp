#include "helpers/helper_main_win.h"

#include <windows.h>

#include <shellapi.h>

#include <memory>
#include <string>

#include "base/wide_win.h"
#include "helpers/adl_library_win.h"
#include "helpers/existing_block_win.h"
#include "helpers/helper_host_win.h"
#include "helpers/helper_session.h"
#include "ipc/named_mutex_win.h"

namespace {

// The single argument after the file name; empty when there is not exactly one.
std::u16string TokenFromCommandLine() {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!arguments) {
    return {};
  }
  std::u16string token = count == 2 ? FromWide(arguments[1]) : std::u16string();
  LocalFree(arguments);
  return token;
}

}  // namespace

int RunHelperProcess(Helper helper) {
  const std::u16string token = TokenFromCommandLine();
  ExistingBlock block;
  if (!block.Bytes()) {
    return 1;
  }
  Win32NamedMutexes mutexes;
  Win32HelperHost host;
  std::unique_ptr<AdlLibrary> library;
  if (helper == Helper::Adl) {
    library = std::make_unique<AdlLibrary>();
  }
  HelperSession session(helper, block.Bytes(), mutexes, host, library.get(), nullptr);
  if (!session.Admit(token)) {
    return 1;
  }
  if (!host.CreateHelperWindow(u"Vantreloquin " + std::u16string(HelperName(helper)))) {
    return 1;
  }
  return session.Run();
}
