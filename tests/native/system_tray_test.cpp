#include "toolkit/system_tray.h"

#include <gtest/gtest.h>

#include "fakes/fake_notify_area.h"

namespace {

constexpr std::uint32_t kCallback = 0x800A;
constexpr std::uint32_t kAddFlags = 7;  // message, icon, tip

}  // namespace

TEST(SystemTrayTest, CreateChangeAndDeleteReachTheShellInTheShownState) {
  FakeNotifyArea area;
  CSystemTray tray(area);
  ASSERT_TRUE(tray.CreateIcon(kCallback, std::u16string(200, u't'), 128, 129));
  ASSERT_EQ(area.calls.size(), 1u);
  EXPECT_EQ(area.calls[0].record.flags, kAddFlags);
  EXPECT_EQ(area.calls[0].record.tip.size(), 127u) << "the tooltip is cut to 127";
  EXPECT_EQ(area.calls[0].record.id, 129u);

  EXPECT_TRUE(tray.ChangeIcon(129));
  EXPECT_EQ(area.calls.back().action, u"modify");
  EXPECT_EQ(area.calls.back().record.flags, 2u);

  EXPECT_TRUE(tray.DeleteIcon());
  EXPECT_TRUE(tray.DeleteIcon()) << "gone already";
  EXPECT_EQ(area.calls.size(), 3u) << "the second delete does not call the shell";
}

TEST(SystemTrayTest, ShellRestartAddsTheIconAgainWithItsFirstFlagsAndLastImage) {
  FakeNotifyArea area;
  CSystemTray tray(area);
  ASSERT_TRUE(tray.CreateIcon(kCallback, u"Vantreloquin", 128, 129));
  tray.ChangeIcon(130);
  tray.OnTaskbarCreated();
  EXPECT_EQ(area.calls.back().action, u"add");
  EXPECT_EQ(area.calls.back().record.flags, kAddFlags);
  EXPECT_EQ(area.calls.back().record.iconResourceId, 130);
  tray.OnWorkAreaChanged();
  EXPECT_EQ(area.calls.back().action, u"add");
}

TEST(SystemTrayTest, RefusedAddHidesTheIconForGood) {
  FakeNotifyArea area;
  area.addSucceeds = false;
  CSystemTray tray(area);
  EXPECT_FALSE(tray.CreateIcon(kCallback, u"Vantreloquin", 128, 129));
  EXPECT_TRUE(tray.IsHidden());
  EXPECT_TRUE(tray.ChangeIcon(129)) << "remembered, not sent";
  tray.OnTaskbarCreated();
  tray.OnWorkAreaChanged();
  EXPECT_EQ(area.calls.size(), 1u);
}

TEST(SystemTrayTest, NoTrayNoShellCalls) {
  FakeNotifyArea area;
  area.supported = false;
  CSystemTray tray(area);
  EXPECT_FALSE(tray.CreateIcon(kCallback, u"Vantreloquin", 128, 129));
  EXPECT_FALSE(tray.ChangeIcon(129));
  EXPECT_TRUE(tray.DeleteIcon());
  EXPECT_TRUE(area.calls.empty());
}
