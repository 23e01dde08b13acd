// Records what reached the shell's notification area.
#pragma once

#include <string>
#include <vector>

#include "toolkit/system_tray.h"

class FakeNotifyArea : public NotifyArea {
 public:
  bool SupportsTrayIcons() override { return supported; }
  bool Add(const TrayRecord& record) override { return Record(u"add", record, addSucceeds); }
  bool Modify(const TrayRecord& record) override { return Record(u"modify", record, true); }
  bool Delete(const TrayRecord& record) override { return Record(u"delete", record, true); }
  bool ShowMenu(std::uint32_t menuId, const std::vector<std::uint32_t>& disabled) override {
    menusShown.push_back(menuId);
    disabledCommands = disabled;
    return true;
  }
  std::vector<std::uint32_t> menusShown;
  std::vector<std::uint32_t> disabledCommands;

  struct Call {
    std::u16string action;
    TrayRecord record;
  };
  std::vector<Call> calls;
  bool supported = true;
  bool addSucceeds = true;

 private:
  bool Record(const char16_t* action, const TrayRecord& record, bool result) {
    calls.push_back({action, record});
    return result;
  }
};
