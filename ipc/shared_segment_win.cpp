#include "ipc/shared_segment_win.h"

#include <aclapi.h>

#include "base/wide_win.h"
#include "ipc/shared_block_layout.h"

SharedSegment::SharedSegment(std::u16string name, std::int32_t size) {
  Open(name, size);
}

SharedSegment::~SharedSegment() {
  Close();
}

void SharedSegment::Open(const std::u16string& name, std::int32_t size) {
  if (size == 0) {
    return;
  }
  if (IsOpen()) {
    if ((size == size_ || size < 0) && name == name_) {
      return;
    }
    Close();
  }
  const DWORD mappingSize = size < 0 ? static_cast<DWORD>(block::kSize) : static_cast<DWORD>(size);
  mapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, mappingSize,
                                AsWide(name));
  if (!mapping_) {
    return;
  }
  // No access list at all: helpers started elevated or as another account
  // can open the block too.
  std::u16string objectName = name;
  SetNamedSecurityInfoW(reinterpret_cast<LPWSTR>(objectName.data()), SE_KERNEL_OBJECT,
                        DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr, nullptr);
  name_ = name;
  size_ = static_cast<std::int32_t>(mappingSize);
  view_ = MapViewOfFile(mapping_, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, 0);
  if (!view_) {
    CloseHandle(mapping_);
    mapping_ = nullptr;
    name_.clear();
    size_ = 0;
  }
}

void SharedSegment::Close() {
  if (view_) {
    UnmapViewOfFile(view_);
    view_ = nullptr;
  }
  if (mapping_) {
    CloseHandle(mapping_);
    mapping_ = nullptr;
  }
  name_.clear();
  size_ = 0;
}

SharedSegment& TheSharedSegment() {
  static SharedSegment segment(std::u16string(block::kSegmentName), -1);
  return segment;
}
