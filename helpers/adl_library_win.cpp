#include "helpers/adl_library_win.h"

AdlLibrary::~AdlLibrary() {
  if (module_) {
    FreeLibrary(module_);
  }
}

std::optional<std::vector<std::u16string>> AdlLibrary::ListGpus() {
  if (!module_) {
    module_ = LoadLibraryW(L"atiadlxx.dll");
  }
  if (!module_) {
    return std::nullopt;
  }
  // The library is there; adapter enumeration through it is not wired up
  // yet, so no GPU is offered for control.
  return std::vector<std::u16string>{};
}
