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

// A scratch file of this process, removed at exit.
const char* ScratchArchive() {
  static char path[64] = {};
  if (path[0] == '\0') {
    std::snprintf(path, sizeof path, "/tmp/vt_fuzz_settings_%d.arc", static_cast<int>(getpid()));
    std::atexit([] { std::remove(ScratchArchive()); });
  }
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  ArchiveDecode(bytes);

  static CGeneralSettings_ConfigFile settings;
  const std::u16string path = Utf8ToUtf16(ScratchArchive());
  if (!ReplaceFileContent(path, ArchiveEncode(bytes))) {
    std::remove(ScratchArchive());
  }
  std::u16string message;
  settings.Load(path, message);
  settings.DecodeRules();
  settings.EncodeRules();
  settings.BuildText();
  return 0;
}
