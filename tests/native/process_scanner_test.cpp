#include "rules/process_scanner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "fakes/decision_state.h"
#include "fakes/fake_desktop.h"
#include "fakes/log_capture.h"

namespace {

const std::u16string kBannerBorder = u"=+=+=+=+=+=+=+=+=+=+=+=+=+=+=+=+=+=";

// A desktop with a monitor, a windowed program in front, a game that may
// run, and the scanner with the default rules over it.
class ScannerTest : public ::testing::Test, protected DecisionState {
 protected:
  ScannerTest() {
    desktop.monitors = {{0, 0, 1920, 1080}};
    desktop.processes = {
        {10, u"editor.exe", u"D:\\Tools\\editor.exe", {u"D:\\Tools\\editor.exe"}},
        {20, u"game.exe", u"D:\\Games\\game.exe", {u"C:\\Windows\\System32\\d3d11.dll"}},
        {30, u"Mystify.scr", u"C:\\Windows\\System32\\Mystify.scr", {}},
    };
    desktop.windows[100] = {10, true, false, ScreenRect{100, 100, 900, 700}, std::nullopt};
    desktop.windows[200] = {20, true, false, ScreenRect{0, 0, 1920, 1080}, std::nullopt};
    desktop.windows[300] = {30, true, false, ScreenRect{0, 0, 1920, 1080}, std::nullopt};
    desktop.foreground = 100;
    settings.DecodeRules();  // the three special rules
  }

  void AddRule(const char16_t* executable, ActionType action, const char16_t* core = u"DEFAULT",
               const char16_t* mem = u"DEFAULT") {
    ::AddRule(settings.Rules(), executable, action, true, 0, core, mem);
    settings.EncodeRules();
    settings.DecodeRules();
  }
  Rule* Special(std::u16string_view name) { return FindRule(settings.Rules(), name); }
  // Only game.exe runs, in the background.
  void GameRunsAlone() {
    desktop.processes.erase(desktop.processes.begin());
    desktop.foreground = 0;
  }
  std::vector<std::u16string> Banners() {
    std::vector<std::u16string> banners;
    const std::vector<std::u16string> texts = log.Texts();
    for (std::size_t i = 0; i + 3 < texts.size(); ++i) {
      if (texts[i] == kBannerBorder) {
        banners.push_back(texts[i + 1] + u" | " + texts[i + 2]);
        i += 3;
      }
    }
    return banners;
  }

  LogCapture log;
  FakeDesktop desktop;
  RecentForegroundHistory recent;
  int publications = 0;
  int wakes = 0;
  int timerPosts = 0;
  ProcessScanner scanner{
      desktop, u"C:\\Windows\\",
      ScannerSources{stateLock, blockRequested, forceDownclockRequested, clockTargetsLock,
                     coreClockTarget, memClockTarget, settingsLock, settings, recent,
                     [this] { ++publications; }, [this] { ++wakes; }, [this] { ++timerPosts; }}};

 public:
  ~ScannerTest() noexcept override = default;
};

}  // namespace

TEST_F(ScannerTest, DefaultRulesDecideDownclockOnceAndStaySilent) {
  for (int scan = 0; scan < 3; ++scan) {
    const ScanDecision decision = scanner.Scan();
    EXPECT_FALSE(decision.block);
    EXPECT_EQ(decision.criteria, u"DEFAULT");
  }
  EXPECT_EQ(Banners(), std::vector<std::u16string>{
                           u"Rule Action: \"Downclock\" | Rule Criteria: \"DEFAULT\""});
  EXPECT_EQ(wakes, 1);
  EXPECT_EQ(publications, 0) << "nothing changed for the helpers";
  EXPECT_EQ(recent.SnapshotRecentForeground(),
            std::vector<std::u16string>{u"D:\\Tools\\editor.exe"});
}

TEST_F(ScannerTest, FullScreenProgramBlocksWithItsNameInTheCriteria) {
  desktop.foreground = 200;
  const ScanDecision decision = scanner.Scan();
  EXPECT_TRUE(decision.block);
  EXPECT_EQ(decision.criteria, u"FULLSCREEN_PROGRAM game.exe");
  scanner.Scan();
  EXPECT_EQ(Banners().size(), 1u);
  EXPECT_EQ(publications, 1);
  EXPECT_TRUE(blockRequested);
}

TEST_F(ScannerTest, ScreenSaverExclusion) {
  desktop.foreground = 300;
  EXPECT_FALSE(scanner.Scan().block) << "excluded by default";
  settings.bExcludeScreenSavers.Set(false);
  EXPECT_EQ(scanner.Scan().criteria, u"FULLSCREEN_PROGRAM Mystify.scr");
}

TEST_F(ScannerTest, ForegroundAndBackgroundActions) {
  struct Case {
    const char* what;
    ActionType action;
    bool gameInFront;
    bool gameMinimised;
    bool blocks;
  };
  const Case cases[] = {
      {"Block, game in front", ActionType::Block, true, false, true},
      {"Block, game minimised", ActionType::Block, true, true, true},
      {"Block if in the foreground, minimised", ActionType::BlockIfForeground, true, true, false},
      {"Block if in the foreground, in front", ActionType::BlockIfForeground, true, false, true},
      {"Block if in the background, behind", ActionType::BlockIfBackground, false, false, true},
      {"Block if in the background, in front", ActionType::BlockIfBackground, true, false, false},
  };
  for (const Case& c : cases) {
    settings.Rules().clear();
    AddRule(u"game.exe", c.action);
    Special(u"FULLSCREEN_PROGRAM")->enabled = false;
    desktop.windows[200].iconic = c.gameMinimised;
    desktop.foreground = c.gameInFront ? 200 : 100;
    EXPECT_EQ(scanner.Scan().block, c.blocks) << c.what;
  }
}

TEST_F(ScannerTest, EqualPriorityDownclockComesBeforeBlock) {
  AddRule(u"game.exe", ActionType::Block);
  AddRule(u"editor.exe", ActionType::Downclock);
  const ScanDecision decision = scanner.Scan();
  EXPECT_FALSE(decision.block);
  EXPECT_EQ(decision.criteria, u"editor.exe");
}

TEST_F(ScannerTest, ClockTargetsAndForceDownclock) {
  AddRule(u"D:\\Games\\game.exe", ActionType::Block, u"+50", u"1050");
  ScanDecision decision = scanner.Scan();
  EXPECT_TRUE(decision.block);
  EXPECT_EQ(coreClockTarget, u"+50");
  EXPECT_EQ(memClockTarget, u"1050");
  scanner.Scan();
  const std::vector<std::u16string> texts = log.Texts();
  EXPECT_EQ(std::count(texts.begin(), texts.end(), u"Updating Clock Targets"), 1);

  settings.Rules().clear();
  AddRule(u"*\\games\\*", ActionType::ForceDownclock, u"+50");
  decision = scanner.Scan();
  EXPECT_TRUE(decision.block);
  EXPECT_TRUE(decision.force);
  EXPECT_EQ(coreClockTarget, u"DEFAULT") << "only the Block family carries clocks";
  EXPECT_TRUE(forceDownclockRequested);
}

TEST_F(ScannerTest, DisabledRulesSkipTheThreeDCacheAndDisabledDefaultStillDecides) {
  desktop.foreground = 200;
  Special(u"FULLSCREEN_PROGRAM")->enabled = false;
  Special(u"DEFAULT")->enabled = false;
  // One consultation per scan (by DEFAULT) keeps one 3D test good for 16
  // scans; had the disabled 3D rule consulted too, a second test would run.
  for (int scan = 0; scan < 16; ++scan) {
    scanner.Scan();
  }
  EXPECT_EQ(desktop.TotalModuleLists(), 1);
  EXPECT_EQ(scanner.Scan().criteria, u"DEFAULT");

  Special(u"3D_PROGRAM")->enabled = true;
  EXPECT_EQ(scanner.Scan().criteria, u"3D_PROGRAM game.exe");
}

TEST_F(ScannerTest, ProcessListsAreBuiltOnlyWhenARuleNeedsThem) {
  AddRule(u"game.exe", ActionType::BlockIfForeground);
  scanner.Scan();
  EXPECT_EQ(desktop.fileNameLists + desktop.fullPathLists, 0);

  AddRule(u"a.exe", ActionType::Block);
  AddRule(u"b.exe", ActionType::Block);
  AddRule(u"D:\\x\\c.exe", ActionType::Block);
  scanner.Scan();
  EXPECT_EQ(desktop.fileNameLists, 1) << "once per scan";
  EXPECT_EQ(desktop.fullPathLists, 1);
}

TEST_F(ScannerTest, StopDuringTheDelayStillStartsTheTimers) {
  Event stop(Event::ResetMode::Manual, true);
  scanner.ThreadProcessScanner(stop);
  EXPECT_EQ(timerPosts, 1);
  EXPECT_EQ(log.Texts(), (std::vector<std::u16string>{
                             u"ThreadProcessScanner:: Delaying 4 seconds",
                             u"ThreadProcessScanner:: Done waiting, signal main-thread to start "
                             u"timers.",
                             u"ThreadProcessScanner:: Continuing...",
                         }));
}
