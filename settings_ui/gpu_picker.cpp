#include "settings_ui/gpu_picker.h"

#include <algorithm>
#include <cstring>

#include "base/text.h"
#include "resources/resource_ids.h"

void GpuPickerModel::Initialize() {
  {
    ReadLockGuard lock(settingsLock_);
    selection_ = settings_.GetSelectedGpus();
  }
  RebuildLists();
}

void GpuPickerModel::SetCurrent(GpuList list, int index) {
  GpuListContent& content = list == GpuList::Available ? available_ : selected_;
  content.current =
      index >= 0 && static_cast<std::size_t>(index) < content.entries.size() ? index : -1;
}

void GpuPickerModel::SelectGpu() {
  Move(GpuList::Available);
}

void GpuPickerModel::DeselectGpu() {
  Move(GpuList::Selected);
}

void GpuPickerModel::Move(GpuList from) {
  const GpuListContent& list = List(from);
  if (list.current < 0 || static_cast<std::size_t>(list.current) >= list.entries.size()) {
    return;
  }
  const std::u16string name = TrimBlanks(list.entries[static_cast<std::size_t>(list.current)]);
  if (name.empty()) {
    return;
  }
  if (from == GpuList::Available && name.find(u',') != std::u16string::npos) {
    // The list setting would split the name at its comma and store two
    // names the helper never reports.
    prompts_.PromptOk(kUnstorableGpuName);
    return;
  }
  WriteLockGuard lock(settingsLock_);
  if (from == GpuList::Available) {
    settings_.AddSelectedGpu(name);
  } else {
    settings_.RemoveSelectedGpu(name);
  }
  selection_ = settings_.GetSelectedGpus();
  RebuildLists();
}

void GpuPickerModel::RebuildLists() {
  std::vector<std::u16string> available;
  for (const std::u16string& detected : detected_) {
    std::u16string name = TrimBlanks(detected);
    const bool chosen = std::any_of(
        selection_.rbegin(), selection_.rend(),
        [&](const std::u16string& selected) { return EqualsNoCase(TrimBlanks(selected), name); });
    if (!chosen) {
      available.push_back(std::move(name));
    }
  }
  FillList(available_, std::move(available));
  FillList(selected_, selection_);
  // The selection is this page's own copy, so the block's table is written
  // without the settings lock (which would otherwise be taken inside the
  // block's mutex, against the lock order).
  if (block_.IsOpen()) {
    block_.WriteSelectedGpus(selection_);
  }
}

void GpuPickerModel::FillList(GpuListContent& list, std::vector<std::u16string> names) {
  std::sort(names.begin(), names.end());
  // Entries beyond the new names go first, the current one with them; the
  // blank entry of an empty list is added afterwards and is not current.
  if (list.current >= static_cast<int>(names.size())) {
    list.current = -1;
  }
  if (names.empty()) {
    names.emplace_back();
  }
  list.entries = std::move(names);
}

bool GpuPickerModel::RefreshDetectedGpus() {
  if (!block_.IsOpen()) {
    return false;
  }
  bool changed = false;
  if (reload_) {
    WriteGpuTable(tableCache_.data(), {});
    reload_ = false;
    changed = true;
  }
  std::vector<std::u16string> names;
  // Compared without the mutex: a half-written table only costs a locked read.
  if (std::memcmp(tableCache_.data(), block_.Bytes() + block::kAvailableGpus, tableCache_.size()) !=
      0) {
    std::optional<std::vector<std::u16string>> read = block_.ReadAvailableGpus();
    if (!read) {
      return false;
    }
    names = std::move(*read);
    WriteGpuTable(tableCache_.data(), names);
    changed = true;
  }
  if (changed) {
    detected_ = std::move(names);
    RebuildLists();
  }
  return changed;
}

std::vector<ControlPlacement> GpuPickerModel::LayoutGpuTab(int width, int height, int buttonWidth) {
  const int a = width / 2 - buttonWidth / 2;
  const int m = height / 2;
  const int right = a + buttonWidth;
  const int h = kGpuHeaderHeight;
  return {
      {IDC_GPU_AVAILABLE, 0, h, a, height - h},
      {IDC_GPU_HEADER_AVAILABLE, 0, 0, a, h},
      {IDC_GPU_SELECT, a, 0, buttonWidth, m},
      {IDC_GPU_DESELECT, a, m, buttonWidth, height - m},
      {IDC_GPU_SELECTED, right, h, width - right, height - h},
      {IDC_GPU_HEADER_SELECTED, right, 0, width - right, h},
  };
}
