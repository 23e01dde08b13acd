// Arbitrary bytes as an archive, and as the settings text inside a valid
// archive: decoding, loading and rebuilding the rule table must never crash
// or hang.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "base/text.h"
#include "config/archive_codec.h"
#include "config/file_io.h"
#include "config/general_settings.h"

namespace {

const std::u16string& ScratchArchive() {
  static const std::u16string path = [] {
    std::atexit([] { std::remove(Utf16ToUtf8(ScratchArchive()).c_str()); });
    return Utf8ToUtf16("/tmp/vt_fuzz_settings_" + std::to_string(getpid()) + ".arc");
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  ArchiveDecode(bytes);

  static CGeneralSettings_ConfigFile settings;
  if (!ReplaceFileContent(ScratchArchive(), ArchiveEncode(bytes))) {
    std::remove(Utf16ToUtf8(ScratchArchive()).c_str());
  }
  std::u16string message;
  settings.Load(ScratchArchive(), message);
  settings.DecodeRules();
  settings.EncodeRules();
  settings.BuildText();
  return 0;
}
