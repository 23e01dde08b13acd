// The About window shown and hidden twice, animating only while shown.
#include <gtest/gtest.h>

#include <windows.h>

#include "resources/resource_ids.h"
#include "test_support_win.h"
#include "toolkit/about_dlg_win.h"
#include "toolkit/fade_duration.h"

namespace {

bool PumpUntil(const std::function<bool()>& done) {
  return WaitUntil(
      [&] {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
          DispatchMessageW(&msg);
        }
        return done();
      },
      10000);
}

}  // namespace

TEST(AboutWinTest, ShowsAndHidesTwiceAnimatingOnlyWhileShown) {
  FadeDuration = kFastFadeDuration;
  CAboutDlg about(nullptr, u"Vantreloquin x64 1.2-6.5", u"Dec 11 2026 06:00:00",
                  u"Copyright (c) 2026 Ostrafelmoria.");
  ASSERT_TRUE(about.CreateModeless());
  for (int round = 0; round < 2; ++round) {
    about.ShowAbout();
    about.ShowAbout();  // a second request keeps the one animation
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(about.hwnd()) != FALSE; }));
    EXPECT_TRUE(about.AnimationRuns());
    SendMessageW(about.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_ABOUT_OK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(about.hwnd(), IDC_ABOUT_OK)));
    EXPECT_FALSE(about.AnimationRuns());
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(about.hwnd()); })) << round;
  }
  FadeDuration = kNormalFadeDuration;
}
