#include "toolkit/system_tray.h"

bool CSystemTray::CreateIcon(std::uint32_t callbackMessage, std::u16string_view tooltip,
                             int iconResourceId, std::uint32_t iconId) {
  enabled_ = area_.SupportsTrayIcons();
  if (!enabled_) {
    return false;
  }
  record_.flags = TrayRecord::kMessage | TrayRecord::kIcon | TrayRecord::kTip;
  record_.id = iconId;
  record_.callbackMessage = callbackMessage;
  record_.iconResourceId = iconResourceId;
  record_.tip = std::u16string(tooltip.substr(0, TrayRecord::kMaxTipChars));
  hidden_ = false;
  savedAddFlags_ = record_.flags;
  const bool added = area_.Add(record_);
  removed_ = hidden_ = showPending_ = !added;
  return added;
}

bool CSystemTray::ChangeIcon(int iconResourceId) {
  if (!enabled_) {
    return false;
  }
  record_.flags = TrayRecord::kIcon;
  record_.iconResourceId = iconResourceId;
  if (hidden_) {
    return true;
  }
  return area_.Modify(record_);
}

bool CSystemTray::DeleteIcon() {
  showPending_ = false;
  if (!enabled_ || removed_) {
    return true;
  }
  record_.flags = 0;
  if (area_.Delete(record_)) {
    hidden_ = true;
    removed_ = true;
  }
  return removed_;
}

void CSystemTray::OnTaskbarCreated() {
  showPending_ = true;
  AddAgain();
}

void CSystemTray::OnWorkAreaChanged() {
  showPending_ = !hidden_;
  AddAgain();
}

void CSystemTray::AddAgain() {
  if (hidden_) {
    return;
  }
  record_.flags = savedAddFlags_;
  const bool added = area_.Add(record_);
  hidden_ = showPending_ = !added;
}

bool CSystemTray::HandleTrayMessage(std::uint32_t iconId, std::uint32_t mouseMessage) {
  constexpr std::uint32_t kRightButtonUp = 0x0205;
  if (iconId != record_.id) {
    return false;
  }
  if (mouseMessage != kRightButtonUp) {
    return true;
  }
  return area_.ShowMenu(record_.id, disabledCommands_);
}
