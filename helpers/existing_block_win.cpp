#include "helpers/existing_block_win.h"

#include <string>

#include "base/wide_win.h"
#include "ipc/shared_block_layout.h"

ExistingBlock::ExistingBlock() {
  mapping_ = OpenFileMappingW(FILE_MAP_READ | FILE_MAP_WRITE, FALSE,
                              AsWide(std::u16string(block::kSegmentName)));
  if (!mapping_) {
    return;
  }
  view_ = MapViewOfFile(mapping_, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, 0);
  // A smaller mapping of the same name is not the application's block.
  MEMORY_BASIC_INFORMATION region{};
  if (view_ &&
      (VirtualQuery(view_, &region, sizeof region) == 0 || region.RegionSize < block::kSize)) {
    UnmapViewOfFile(view_);
    view_ = nullptr;
  }
}

ExistingBlock::~ExistingBlock() {
  if (view_) {
    UnmapViewOfFile(view_);
  }
  if (mapping_) {
    CloseHandle(mapping_);
  }
}
