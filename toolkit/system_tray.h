// The application's one icon in the notification area: created once, its
// image swapped with the clock state, added again when the shell restarts
// or the work area changes, deleted when the controller ends.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The notification record as the shell sees it.
struct TrayRecord {
  static constexpr std::uint32_t kMessage = 0x1;  // NIF_MESSAGE
  static constexpr std::uint32_t kIcon = 0x2;     // NIF_ICON
  static constexpr std::uint32_t kTip = 0x4;      // NIF_TIP
  static constexpr std::size_t kMaxTipChars = 127;

  std::uint32_t id = 0;
  std::uint32_t flags = 0;
  std::uint32_t callbackMessage = 0;
  int iconResourceId = 0;
  std::u16string tip;
};

// The shell's notification area; the Win32 implementation calls
// Shell_NotifyIconW for the controller window.
class NotifyArea {
 public:
  virtual ~NotifyArea() = default;
  virtual bool SupportsTrayIcons() = 0;
  virtual bool Add(const TrayRecord& record) = 0;
  virtual bool Modify(const TrayRecord& record) = 0;
  virtual bool Delete(const TrayRecord& record) = 0;
  // Shows the first popup of the menu resource at the cursor, its first
  // entry as the default, the listed commands greyed; a chosen entry reaches
  // the owner window as a command. False when the menu cannot be loaded.
  virtual bool ShowMenu(std::uint32_t menuId, const std::vector<std::uint32_t>& disabled) = 0;
};

class CSystemTray {
 public:
  explicit CSystemTray(NotifyArea& area) : area_(area) {}
  CSystemTray(const CSystemTray&) = delete;
  CSystemTray& operator=(const CSystemTray&) = delete;

  // Adds the icon (tooltip cut to 127 characters); false when the shell has
  // no tray or refused the add.
  bool CreateIcon(std::uint32_t callbackMessage, std::u16string_view tooltip, int iconResourceId,
                  std::uint32_t iconId);
  // Swaps the image; a hidden icon only remembers it.
  bool ChangeIcon(int iconResourceId);
  // Removes the icon; true when it is gone (also when it never was there).
  bool DeleteIcon();

  // The shell restarted ("TaskbarCreated") or the work area changed: a
  // shown icon is added again with the flags of its first add.
  void OnTaskbarCreated();
  void OnWorkAreaChanged();

  // A callback of the icon: a right-button release shows the tray menu (the
  // menu resource has the icon's identifier). False for another icon.
  bool HandleTrayMessage(std::uint32_t iconId, std::uint32_t mouseMessage);
  // Commands the menu shows greyed (their windows do not exist yet).
  void SetDisabledCommands(std::vector<std::uint32_t> commands) {
    disabledCommands_ = std::move(commands);
  }

  bool IsHidden() const { return hidden_; }
  bool IsRemoved() const { return removed_; }
  const TrayRecord& Record() const { return record_; }

 private:
  void AddAgain();

  NotifyArea& area_;
  TrayRecord record_;
  bool enabled_ = false;
  bool hidden_ = true;
  bool removed_ = true;
  bool showPending_ = false;
  std::uint32_t savedAddFlags_ = 0;
  std::vector<std::uint32_t> disabledCommands_;
};
