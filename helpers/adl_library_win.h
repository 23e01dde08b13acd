// The AMD Display Library as the driver installs it (atiadlxx.dll).
#pragma once

#include <windows.h>

#include "helpers/helper_host.h"

class AdlLibrary : public DisplayLibrary {
 public:
  AdlLibrary() = default;
  ~AdlLibrary() override;
  AdlLibrary(const AdlLibrary&) = delete;
  AdlLibrary& operator=(const AdlLibrary&) = delete;

  std::optional<std::vector<std::u16string>> ListGpus() override;

 private:
  HMODULE module_ = nullptr;
};
