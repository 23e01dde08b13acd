#include "settings_ui/general_tab.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <thread>

#include "base/text.h"
#include "fakes/fake_desktop.h"
#include "fakes/fake_prompts.h"
#include "resources/resource_ids.h"
#include "settings_ui/page_scroll.h"
#include "toolkit/fade_duration.h"

namespace {

std::string U8(std::u16string_view text) {
  return Utf16ToUtf8(text);
}

const std::u16string kYes = u"Yes, I'm sure";
const std::u16string kNo = u"No, DON'T DO IT";

class ScriptedPicker : public ListPicker {
 public:
  std::u16string PickFromList(std::u16string_view title,
                              const std::vector<std::u16string>& items) override {
    shownTitle = title;
    shownItems = items;
    return pick;
  }
  std::u16string pick;
  std::u16string shownTitle;
  std::vector<std::u16string> shownItems;
};

class GeneralTabTest : public ::testing::Test {
 protected:
  // Holds a lock wrapper, whose destructor may throw.
  ~GeneralTabTest() noexcept override {
    for (std::thread& probe : probes_) {
      probe.join();
    }
  }

  GeneralTabServices Services() {
    return {settings,
            settingsLock,
            prompts,
            [this] {
              ++publications;
              lockFreeWhilePublishing = LockFreeForOtherThreads();
            },
            taskQueue,
            [this](bool refresh) {
              taskQueries.push_back(refresh);
              return registered;
            },
            [this] { ++queueServings; },
            desktop,
            picker,
            [] {
              return LocalTime{2024, 10, 10, 0, 0};
            }};
  }

  // Whether another thread gets the reader side within a second; it cannot
  // while this thread holds the writer side. A blocked probe finishes once
  // the lock is released and is joined with the fixture.
  bool LockFreeForOtherThreads() {
    auto taken = std::make_shared<std::promise<void>>();
    std::future<void> done = taken->get_future();
    probes_.emplace_back([this, taken] {
      ReadLockGuard hold(settingsLock);
      taken->set_value();
    });
    return done.wait_for(std::chrono::seconds(1)) == std::future_status::ready;
  }

  bool Checked(int id) const { return model.View().checked.at(id); }
  std::u16string Text(int id) const { return model.View().texts.at(id); }

  CGeneralSettings_ConfigFile settings;
  CriticalSection_Wrapper settingsLock{CriticalSection_Wrapper::Form::ReaderWriter};
  FakePrompts prompts;
  std::vector<std::uint8_t> taskQueue;
  FakeDesktop desktop;
  ScriptedPicker picker;
  bool registered = false;
  std::vector<bool> taskQueries;
  int queueServings = 0;
  int publications = 0;
  bool lockFreeWhilePublishing = false;
  GeneralTabModel model{Services()};

 private:
  std::vector<std::thread> probes_;
};

}  // namespace

TEST(GeneralTabLayoutTest, RowsFillTheWidthAndFollowTheScrollPosition) {
  const std::vector<ControlPlacement> placements = LayoutGeneralTab(301, 60);
  auto find = [&](int id) {
    for (const ControlPlacement& placement : placements) {
      if (placement.id == id) {
        return placement;
      }
    }
    ADD_FAILURE() << "no placement for " << id;
    return ControlPlacement{};
  };
  EXPECT_EQ(placements.size(), GeneralTabControls().size());
  EXPECT_EQ(find(IDC_GENERAL_HEADER_PROGRAM), (ControlPlacement{1019, 0, -60, 301, 30}));
  EXPECT_EQ(find(IDC_GENERAL_SET_WAIT_ON), (ControlPlacement{1028, 0, 150, 100, 30}));
  EXPECT_EQ(find(IDC_GENERAL_SET_WAIT_FOR), (ControlPlacement{1024, 100, 150, 100, 30}));
  EXPECT_EQ(find(IDC_GENERAL_SET_WAIT_AFTER), (ControlPlacement{1025, 200, 150, 101, 30}));
  EXPECT_EQ(find(IDC_GENERAL_FADE_FAST), (ControlPlacement{1008, 150, 240, 151, 30}));
  EXPECT_EQ(find(IDC_GENERAL_SHOW_WATCHDOG), (ControlPlacement{1031, 200, 510, 101, 30}));
  // The last row ends the 600-pixel content.
  EXPECT_EQ(GeneralTabControls().back().rowTop + kGeneralRowHeight, kGeneralContentHeight);
}

TEST(GeneralTabLayoutTest, EveryControlButTheHeadersHasItsTooltip) {
  for (const GeneralControl& control : GeneralTabControls()) {
    EXPECT_EQ(control.tooltip.empty(), control.kind == GeneralControlKind::Header) << control.id;
    if (control.id == IDC_GENERAL_FADE_NORMAL) {
      EXPECT_EQ(control.tooltip, u"All dialogs will take 200 ms to fade in or out.");
    }
    if (control.id == IDC_GENERAL_FADE_FAST) {
      EXPECT_EQ(control.tooltip, u"All dialogs will take 50 ms to fade in or out.");
    }
    if (control.id == IDC_GENERAL_METHOD_ADL) {
      EXPECT_TRUE(control.tooltip.starts_with(
          u"ADL:\r\nImplements blocking via \"ADLODPerformanceLevel\""));
    }
  }
}

TEST_F(GeneralTabTest, RefreshShowsTheDefaultsAndTheCachedTaskState) {
  registered = true;
  model.Initialize();
  EXPECT_EQ(taskQueries, std::vector<bool>{false}) << "the cached state, not a fresh query";
  const std::map<int, bool> expected = {
      {IDC_GENERAL_START_WITH_WINDOWS, true},   {IDC_GENERAL_CHECK_FOR_UPDATES, false},
      {IDC_GENERAL_ALWAYS_ONTOP, true},         {IDC_GENERAL_SHOW_SPLASH, true},
      {IDC_GENERAL_EXCLUDE_SCREENSAVERS, true}, {IDC_GENERAL_DISABLE_CONFIRMATION, false},
      {IDC_GENERAL_CUSTOM_CLOCKS, false},       {IDC_GENERAL_FADE_NORMAL, true},
      {IDC_GENERAL_FADE_FAST, false},           {IDC_GENERAL_METHOD_RELIABLE, true},
      {IDC_GENERAL_METHOD_ALTERNATE, false},    {IDC_GENERAL_METHOD_ADL, false},
      {IDC_GENERAL_METHOD_COMBINED, false},
  };
  EXPECT_EQ(model.View().checked, expected);
  const std::map<int, std::u16string> texts = {
      {IDC_GENERAL_SHOW_CORE, u"+0 => **OFFSET**"}, {IDC_GENERAL_SHOW_MEM, u"+0 => **OFFSET**"},
      {IDC_GENERAL_SHOW_WATCHDOG, u"10 Seconds"},   {IDC_GENERAL_SHOW_WAIT_FOR, u"0 Seconds"},
      {IDC_GENERAL_SHOW_WAIT_AFTER, u"0 Seconds"},  {IDC_GENERAL_SHOW_WAIT_ON, u""},
  };
  EXPECT_EQ(model.View().texts, texts);
}

TEST_F(GeneralTabTest, DisplaysReadTheStoredValues) {
  struct Case {
    std::u16string core;
    std::u16string watchdog;
    std::u16string waitFor;
    std::u16string coreShown;
    std::u16string watchdogShown;
    std::u16string waitForShown;
  };
  const Case cases[] = {
      {u" 1050 ", u"1", u"1", u"1050 => **ABSOLUTE**", u"1 Second", u"1 Second"},
      {u"-50", u"0", u" 45 ", u"-50 => **OFFSET**", u"0 => polling disabled", u"45 Seconds"},
      {u"", u"120", u"120", u"", u"120 Seconds", u"120 Seconds"},
      // Stored waits read "0x" as hexadecimal and a leading "-" as negative.
      {u"+7", u"2", u"0x10", u"+7 => **OFFSET**", u"2 Seconds", u"16 Seconds"},
      {u"+7", u"2", u"-5", u"+7 => **OFFSET**", u"2 Seconds", u"-5 Seconds"},
      {u"+7", u"2", u"-0x1", u"+7 => **OFFSET**", u"2 Seconds", u"-1 Seconds"},
      {u"+7", u"2", u"12abc", u"+7 => **OFFSET**", u"2 Seconds", u"12 Seconds"},
      {u"+7", u"2", u"soon", u"+7 => **OFFSET**", u"2 Seconds", u"0 Seconds"},
  };
  for (const Case& c : cases) {
    settings.DefaultClock_Core.SetFromText(c.core);
    settings.Watchdog_Polling_Interval_Seconds.SetFromText(c.watchdog);
    settings.WaitFor_ToAppear_Seconds.SetFromText(c.waitFor);
    model.Initialize();
    EXPECT_EQ(Text(IDC_GENERAL_SHOW_CORE), c.coreShown) << U8(c.core);
    EXPECT_EQ(Text(IDC_GENERAL_SHOW_WATCHDOG), c.watchdogShown) << U8(c.watchdog);
    EXPECT_EQ(Text(IDC_GENERAL_SHOW_WAIT_FOR), c.waitForShown) << U8(c.waitFor);
  }
}

TEST_F(GeneralTabTest, CheckBoxesToggleTheirSettingWhateverTheClickShowed) {
  const std::pair<int, FlaggedVar<bool>*> boxes[] = {
      {IDC_GENERAL_CHECK_FOR_UPDATES, &settings.bCheckForUpdatesOnStartup},
      {IDC_GENERAL_ALWAYS_ONTOP, &settings.bAlwaysOntop},
      {IDC_GENERAL_SHOW_SPLASH, &settings.bShowSplash},
      {IDC_GENERAL_EXCLUDE_SCREENSAVERS, &settings.bExcludeScreenSavers},
      {IDC_GENERAL_DISABLE_CONFIRMATION, &settings.bDisableEditorConfirmation},
  };
  for (const auto& [id, setting] : boxes) {
    const bool before = setting->Value();
    ASSERT_TRUE(model.OnCommand(id));
    EXPECT_EQ(setting->Value(), !before) << id;
    EXPECT_EQ(Checked(id), !before) << id;
    ASSERT_TRUE(model.OnCommand(id));
    EXPECT_EQ(setting->Value(), before) << id;
    EXPECT_EQ(Checked(id), before) << id;
  }
  EXPECT_TRUE(prompts.shown.empty());
  EXPECT_EQ(publications, 0);
}

TEST_F(GeneralTabTest, FadeSpeedSetsTheFadeDuration) {
  model.OnCommand(IDC_GENERAL_FADE_FAST);
  EXPECT_EQ(settings.WindowFadeSpeed.Value(), 1u);
  EXPECT_EQ(FadeDuration, kFastFadeDuration);
  EXPECT_TRUE(Checked(IDC_GENERAL_FADE_FAST));
  EXPECT_FALSE(Checked(IDC_GENERAL_FADE_NORMAL));

  model.OnCommand(IDC_GENERAL_FADE_NORMAL);
  EXPECT_EQ(settings.WindowFadeSpeed.Value(), 0u);
  EXPECT_EQ(FadeDuration, kNormalFadeDuration);
  EXPECT_TRUE(Checked(IDC_GENERAL_FADE_NORMAL));
  EXPECT_FALSE(Checked(IDC_GENERAL_FADE_FAST));
}

TEST_F(GeneralTabTest, BlockingMethodIsPublishedOutsideTheSettingsLock) {
  const int choices[] = {IDC_GENERAL_METHOD_RELIABLE, IDC_GENERAL_METHOD_ALTERNATE,
                         IDC_GENERAL_METHOD_ADL, IDC_GENERAL_METHOD_COMBINED};
  for (std::uint32_t method : {2u, 1u, 3u, 0u}) {
    lockFreeWhilePublishing = false;
    const int before = publications;
    model.OnCommand(choices[method]);
    EXPECT_EQ(settings.BlockingMethod.Value(), method);
    EXPECT_EQ(publications, before + 1);
    // The scanner holds stateLock while the publisher reads the settings.
    EXPECT_TRUE(lockFreeWhilePublishing) << "a publication under the writer side can deadlock";
    for (std::uint32_t other = 0; other < 4; ++other) {
      EXPECT_EQ(Checked(choices[other]), other == method) << method;
    }
  }
}

TEST_F(GeneralTabTest, CustomClocksAskOnlyWhenTurnedOn) {
  bool lockFreeWhileAsking = false;
  prompts.whileOpen = [&] { lockFreeWhileAsking = LockFreeForOtherThreads(); };

  prompts.answers = {kNo};
  model.OnCommand(IDC_GENERAL_CUSTOM_CLOCKS);
  EXPECT_FALSE(settings.bUsingCustomClocks.Value());
  EXPECT_FALSE(Checked(IDC_GENERAL_CUSTOM_CLOCKS));
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.lastCaptions, (std::vector<std::u16string>{kNo, kYes}));
  EXPECT_TRUE(lockFreeWhileAsking) << "a prompt under the lock stalls the scanner";
  const GeneralControl& box =
      *std::find_if(GeneralTabControls().begin(), GeneralTabControls().end(),
                    [](const GeneralControl& c) { return c.id == IDC_GENERAL_CUSTOM_CLOCKS; });
  EXPECT_EQ(prompts.shown[0],
            box.tooltip + u"\r\n\r\n" + std::u16string(52, u'*') +
                u"\r\n^ Please make sure you have read the ToolTip description.\r\n\r\n-if ADL "
                u"blocking is active, this takes effect \"IMMEDIATELY\".\r\n-You probably want "
                u"to make sure that Vantreloquin is NOT blocking first.");

  prompts.answers = {u"YES, I'M SURE"};
  model.OnCommand(IDC_GENERAL_CUSTOM_CLOCKS);
  EXPECT_TRUE(settings.bUsingCustomClocks.Value());
  EXPECT_TRUE(Checked(IDC_GENERAL_CUSTOM_CLOCKS));

  model.OnCommand(IDC_GENERAL_CUSTOM_CLOCKS);
  EXPECT_FALSE(settings.bUsingCustomClocks.Value());
  EXPECT_FALSE(Checked(IDC_GENERAL_CUSTOM_CLOCKS));
  EXPECT_EQ(prompts.shown.size(), 2u) << "turning off asks nothing";
}

TEST_F(GeneralTabTest, ClockEntriesAreConfirmedInTheirStoredForm) {
  const std::u16string illegal =
      u"Illegal entry.\r\n\r\nClock must be either a signed (offset) or unsigned (absolute) "
      u"integer.";
  struct Case {
    std::optional<std::u16string> entry;
    std::u16string answer;
    std::u16string confirmed;  // empty: no confirmation asked
    std::u16string stored;
    bool refused;
  };
  const Case cases[] = {
      {u"+050", kYes, u"+50", u"+50", false},
      {u" 1050\t", kYes, u"1050", u"1050", false},
      {u"- 50", kYes, u"-50", u"-50", false},
      {u"-0", kYes, u"+0", u"+0", false},
      {u"99999999999", kYes, u"2147483647", u"2147483647", false},
      {u"+75", kNo, u"+75", u"+9", false},
      {u"DEFAULT", kYes, u"", u"+9", true},
      {u"12a", kYes, u"", u"+9", true},
      {u"+", kYes, u"", u"+9", true},  // a sign without a number is no integer
      {u"  ", kYes, u"", u"+9", false},
      {std::nullopt, kYes, u"", u"+9", false},  // cancelled
  };
  for (const Case& c : cases) {
    const std::string label = c.entry ? U8(*c.entry) : "cancel";
    settings.DefaultClock_Core.Set(u"+9");
    prompts.shown.clear();
    prompts.textAnswers = {c.entry};
    prompts.answers = {c.answer};
    model.OnCommand(IDC_GENERAL_SET_CORE);
    EXPECT_EQ(prompts.textTitles.back(), u"Set ADL Core-Clock override");
    EXPECT_EQ(settings.DefaultClock_Core.Value(), c.stored) << label;
    std::vector<std::u16string> expectedShown{
        u"Examples:\r\n+50 or -50 (relative offset from max stock-clock)\r\n1050, 800, 512, etc "
        u"(absolute assignment)"};
    if (!c.confirmed.empty()) {
      expectedShown.push_back(u"\"" + c.confirmed +
                              u"\" => Core-CLock\r\n\r\nThis setting will go in to effect "
                              u"\"IMMEDIATELY\" if ADL blocking is active.");
    }
    if (c.refused) {
      expectedShown.push_back(illegal);
    }
    EXPECT_EQ(prompts.shown, expectedShown) << label;
  }
  model.Initialize();
  EXPECT_EQ(Text(IDC_GENERAL_SHOW_CORE), u"+9 => **OFFSET**");

  prompts.textAnswers = {u"545"};
  prompts.answers = {kYes};
  model.OnCommand(IDC_GENERAL_SET_MEM);
  EXPECT_EQ(prompts.textTitles.back(), u"Set ADL Mem-Clock override");
  EXPECT_TRUE(prompts.shown.back().starts_with(u"\"545\" => Mem-CLock"));
  EXPECT_EQ(settings.DefaultClock_Mem.Value(), u"545");
  EXPECT_EQ(settings.DefaultClock_Core.Value(), u"+9");
  EXPECT_EQ(Text(IDC_GENERAL_SHOW_MEM), u"545 => **ABSOLUTE**");
}

TEST_F(GeneralTabTest, SecondsEntriesAcceptZeroTo120) {
  const std::u16string waitForRefusal =
      u"Illegal entry.\r\n\r\nWait-for period must be a positive integer.";
  struct Case {
    int button;
    std::u16string entry;
    std::u16string shown;    // the display afterwards
    std::u16string refusal;  // empty: none
  };
  const Case cases[] = {
      {IDC_GENERAL_SET_WAIT_FOR, u"120", u"120 Seconds", u""},
      {IDC_GENERAL_SET_WAIT_FOR, u"121", u"120 Seconds", waitForRefusal},
      {IDC_GENERAL_SET_WAIT_FOR, u"-1", u"120 Seconds", waitForRefusal},
      {IDC_GENERAL_SET_WAIT_FOR, u"+5", u"120 Seconds", waitForRefusal},
      {IDC_GENERAL_SET_WAIT_FOR, u"ten", u"120 Seconds", waitForRefusal},
      // Too long for any integer type: still only a refusal.
      {IDC_GENERAL_SET_WAIT_FOR, u"18446744073709551736", u"120 Seconds", waitForRefusal},
      {IDC_GENERAL_SET_WAIT_FOR, u" \t ", u"120 Seconds", u""},
      {IDC_GENERAL_SET_WAIT_FOR, u"0", u"0 Seconds", u""},
      {IDC_GENERAL_SET_WAIT_AFTER, u" 001 ", u"1 Second", u""},
      {IDC_GENERAL_SET_WAIT_AFTER, u"500", u"1 Second",
       u"Illegal entry.\r\n\r\nWait-after period must be a positive integer."},
      {IDC_GENERAL_SET_WATCHDOG, u"0", u"0 => polling disabled", u""},
      {IDC_GENERAL_SET_WATCHDOG, u"x", u"0 => polling disabled",
       u"Illegal entry.\r\n\r\nWatchdog polling interval must be a positive integer."},
  };
  const std::map<int, int> displays = {{IDC_GENERAL_SET_WAIT_FOR, IDC_GENERAL_SHOW_WAIT_FOR},
                                       {IDC_GENERAL_SET_WAIT_AFTER, IDC_GENERAL_SHOW_WAIT_AFTER},
                                       {IDC_GENERAL_SET_WATCHDOG, IDC_GENERAL_SHOW_WATCHDOG}};
  const std::map<int, std::u16string> titles = {
      {IDC_GENERAL_SET_WAIT_FOR, u"Set process \"wait-for\" seconds"},
      {IDC_GENERAL_SET_WAIT_AFTER, u"Set process \"wait-after\" seconds"},
      {IDC_GENERAL_SET_WATCHDOG, u"Set watchdog-interval seconds"}};
  model.Initialize();
  for (const Case& c : cases) {
    prompts.shown.clear();
    prompts.textAnswers = {c.entry};
    model.OnCommand(c.button);
    EXPECT_EQ(prompts.textTitles.back(), titles.at(c.button));
    EXPECT_EQ(Text(displays.at(c.button)), c.shown) << U8(c.entry);
    std::vector<std::u16string> shown(prompts.shown.begin() + 1, prompts.shown.end());
    EXPECT_EQ(shown, c.refusal.empty() ? std::vector<std::u16string>{}
                                       : std::vector<std::u16string>{c.refusal})
        << U8(c.entry);
  }
  EXPECT_EQ(settings.WaitFor_ToAppear_Seconds.Value(), u"0");
  EXPECT_EQ(settings.WaitFor_After_Seconds.Value(), u"1");
  EXPECT_EQ(settings.Watchdog_Polling_Interval_Seconds.Value(), 0u);
}

TEST_F(GeneralTabTest, StartWithWindowsQueuesTheOppositeOfWhatTheBoxShows) {
  model.Initialize();
  EXPECT_FALSE(Checked(IDC_GENERAL_START_WITH_WINDOWS));

  model.OnCommand(IDC_GENERAL_START_WITH_WINDOWS);
  EXPECT_EQ(taskQueue, std::vector<std::uint8_t>{0});
  EXPECT_EQ(taskQueries.at(1), true) << "the click measures the state afresh";
  EXPECT_EQ(queueServings, 1);
  EXPECT_TRUE(Checked(IDC_GENERAL_START_WITH_WINDOWS)) << "shows the requested state";

  // Unticked again before the controller served the queue: a remove follows
  // the create.
  model.OnCommand(IDC_GENERAL_START_WITH_WINDOWS);
  EXPECT_EQ(taskQueue, (std::vector<std::uint8_t>{0, 1}));
  EXPECT_FALSE(Checked(IDC_GENERAL_START_WITH_WINDOWS));

  // Served; the page then shows the task state as measured.
  taskQueue.clear();
  registered = true;
  model.Initialize();
  EXPECT_TRUE(Checked(IDC_GENERAL_START_WITH_WINDOWS));
  model.OnCommand(IDC_GENERAL_START_WITH_WINDOWS);
  EXPECT_EQ(taskQueue, std::vector<std::uint8_t>{1});
  EXPECT_FALSE(Checked(IDC_GENERAL_START_WITH_WINDOWS));
}

TEST_F(GeneralTabTest, WaitOnStoresThePathOrFileNameTheUserWants) {
  desktop.processes = {{1, u"game.exe", u"C:\\Games\\game.exe", {}},
                       {2, u"svchost.exe", u"", {}},
                       {3, u"b.exe", u"C:\\B\\b.exe", {}},
                       {4, u"", u"", {}},
                       {5, u"audiodg.exe", u"", {}}};
  struct Case {
    std::u16string pick;
    std::u16string answer;
    std::u16string stored;
    std::u16string shown;  // the last message, when one is shown
  };
  const std::u16string notice =
      u"Unable able to extract Full-Path from this process.\r\nSo, we will use the File-Name.";
  const Case cases[] = {
      {u"C:\\Games\\game.exe", u"File-Name", u"game.exe",
       u"Do you want to store the full-path, or the file-name only?"},
      {u"C:\\Games\\game.exe", u"Full-Path", u"C:\\Games\\game.exe", u""},
      {u"svchost.exe", u"", u"svchost.exe", notice},
      {u"C:\\B\\b.exe", u"", u"old.exe", u""},  // the choice closed unanswered
      {u"", u"", u"old.exe", u""},              // nothing picked
      {std::u16string(kClearWaitOnEntry), u"", u"", u""},
  };
  for (const Case& c : cases) {
    settings.WaitFor_ProcessName.Set(u"old.exe");
    model.Initialize();
    prompts.shown.clear();
    prompts.answers = {c.answer};
    picker.pick = c.pick;
    model.OnCommand(IDC_GENERAL_SET_WAIT_ON);
    EXPECT_EQ(settings.WaitFor_ProcessName.Value(), c.stored) << U8(c.pick);
    EXPECT_EQ(Text(IDC_GENERAL_SHOW_WAIT_ON), c.stored) << U8(c.pick);
    if (!c.shown.empty()) {
      ASSERT_FALSE(prompts.shown.empty()) << U8(c.pick);
      EXPECT_EQ(prompts.shown.back(), c.shown) << U8(c.pick);
    }
  }
  EXPECT_EQ(picker.shownTitle, u"10:00:00 AM >> Process Snapshot");
  EXPECT_EQ(picker.shownItems,
            (std::vector<std::u16string>{std::u16string(kClearWaitOnEntry), u"C:\\B\\b.exe",
                                         u"C:\\Games\\game.exe", u"audiodg.exe", u"svchost.exe"}));
}

TEST(PageScrollTest, StepsStayInsideTheContent) {
  PageScroll scroll;
  EXPECT_EQ(scroll.Resize(kGeneralContentHeight, 400), 0);
  EXPECT_EQ(scroll.Extent(), 600);
  EXPECT_EQ(scroll.Page(), 400);

  struct Step {
    const char* what;
    std::function<int(PageScroll&)> run;
    int moved;
    int position;
  };
  const Step steps[] = {
      {"line down", [](PageScroll& s) { return s.LineDown(); }, -60, 60},
      {"a notch at 3 lines", [](PageScroll& s) { return s.Wheel(-120, 3); }, -60, 120},
      {"a notch back", [](PageScroll& s) { return s.Wheel(120, 3); }, 60, 60},
      {"two notches at 3 lines", [](PageScroll& s) { return s.Wheel(-240, 3); }, -120, 180},
      {"a part notch moves a line", [](PageScroll& s) { return s.Wheel(40, 3); }, 60, 120},
      {"9 lines a notch", [](PageScroll& s) { return s.Wheel(120, 9); }, 120, 0},
      {"line up at the top", [](PageScroll& s) { return s.LineUp(); }, 0, 0},
      {"page down stops at the end", [](PageScroll& s) { return s.PageDown(); }, -200, 200},
      {"wheel set to pages",
       [](PageScroll& s) { return s.Wheel(120, PageScroll::kWheelPageScroll); }, 200, 0},
      {"thumb beyond the end", [](PageScroll& s) { return s.ThumbTo(1000); }, -200, 200},
      {"taller window: no range", [](PageScroll& s) { return s.Resize(600, 700); }, 200, 0},
      {"wheel without a range", [](PageScroll& s) { return s.Wheel(-120, 3); }, 0, 0},
      {"content height not known", [](PageScroll& s) { return s.Resize(0, 100); }, 0, 0},
  };
  for (const Step& step : steps) {
    EXPECT_EQ(step.run(scroll), step.moved) << step.what;
    EXPECT_EQ(scroll.Position(), step.position) << step.what;
  }
  EXPECT_FALSE(scroll.HasRange());
}
