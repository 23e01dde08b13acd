#include <gtest/gtest.h>

#include <string>

#include "toolkit/button_row.h"
#include "toolkit/fade.h"
#include "toolkit/prompt_layout.h"
#include "toolkit/prompt_session.h"
#include "toolkit/tooltip_records.h"

namespace {

// Ticks of a fade until it is done, each after the same time.
int TicksToFinish(FadeAnimation& fade, std::uint64_t tickMicroseconds, std::uint64_t duration) {
  int ticks = 0;
  while (!fade.done() && ticks < 1000) {
    fade.Tick(tickMicroseconds, duration, true, CloseCode::None);
    ++ticks;
  }
  return ticks;
}

}  // namespace

TEST(FadeTest, LastsTheFadeDurationWhateverTheTickRate) {
  struct Case {
    std::uint64_t duration;
    std::uint64_t tick;
    int ticks;
  };
  const Case cases[] = {
      {200000, 10000, 20}, {50000, 10000, 5},   {200000, 16000, 13},
      {200000, 40000, 5},  {50000, 5000000, 1},  // a stall counts as one second
  };
  for (const Case& c : cases) {
    FadeAnimation in;
    in.StartIn();
    EXPECT_EQ(TicksToFinish(in, c.tick, c.duration), c.ticks) << c.duration << "/" << c.tick;
    EXPECT_EQ(in.alpha(), 1.0f);
    FadeAnimation out;
    out.StartOut();
    EXPECT_EQ(TicksToFinish(out, c.tick, c.duration), c.ticks) << c.duration << "/" << c.tick;
    EXPECT_EQ(out.alpha(), 0.0f);
  }
  EXPECT_EQ(FadeAnimation::StepFor(3000000, 1000000), 1.0f);
}

TEST(FadeTest, AlphaSnapsToTheEndsOnlyWithinTheirMargin) {
  struct Case {
    bool out;
    std::uint64_t elapsed;
    bool done;
    int alpha;
  };
  const Case cases[] = {
      {false, 999995, true, 255},  // 0.999995 counts as opaque
      {false, 999980, false, 254},
      {true, 999995, true, 0},  // 0.000005 counts as transparent
      {true, 999980, false, 0},
  };
  for (const Case& c : cases) {
    FadeAnimation fade;
    c.out ? fade.StartOut() : fade.StartIn();
    const FadeActions actions = fade.Tick(c.elapsed, 1000000, true, CloseCode::None);
    EXPECT_EQ(fade.done(), c.done) << c.out << "/" << c.elapsed;
    EXPECT_TRUE(actions.applyAlpha);
    EXPECT_EQ(actions.alpha, c.alpha) << c.out << "/" << c.elapsed;
  }
}

TEST(FadeTest, HiddenDialogIsShownByTheFirstTickAndEndsAfterItsFadeOut) {
  FadeAnimation fade;
  fade.StartIn();
  FadeActions first = fade.Tick(10000, 200000, false, CloseCode::None);
  EXPECT_TRUE(first.show);
  EXPECT_TRUE(first.clearHoldHidden);
  EXPECT_EQ(first.alpha, 12);
  fade.Tick(1000000, 200000, true, CloseCode::None);
  FadeActions finished = fade.Tick(10000, 200000, true, CloseCode::None);
  EXPECT_TRUE(finished.stopTimer);
  EXPECT_EQ(finished.alpha, 255);

  // Fading out for OK: the tick after the fade ends the dialog and does
  // nothing else; without a close code the dialog is only hidden.
  for (CloseCode code : {CloseCode::Ok, CloseCode::Cancel, CloseCode::None}) {
    fade.StartOut();
    fade.Tick(1000000, 200000, true, code);
    ASSERT_TRUE(fade.done());
    const FadeActions last = fade.Tick(10000, 200000, true, code);
    EXPECT_TRUE(last.stopTimer);
    EXPECT_EQ(last.end, code);
    EXPECT_EQ(last.hide, code == CloseCode::None);
    EXPECT_EQ(last.applyAlpha, code == CloseCode::None);
  }
}

TEST(ButtonRowTest, SlotsTouchAndFillTheWidth) {
  struct Case {
    int width;
    int count;
    std::vector<std::pair<int, int>> slots;
  };
  const Case cases[] = {
      {300, 2, {{0, 150}, {150, 150}}},
      {100, 3, {{0, 33}, {33, 33}, {66, 34}}},
      {201, 1, {{0, 201}}},
      {7, 2, {{0, 3}, {3, 4}}},
      {100, 0, {}},
  };
  for (const Case& c : cases) {
    std::vector<std::pair<int, int>> got;
    for (const RowSlot& slot : SpreadAcross(c.width, c.count)) {
      got.emplace_back(slot.x, slot.width);
    }
    EXPECT_EQ(got, c.slots) << c.width << "/" << c.count;
  }
}

TEST(ButtonRowTest, NegativeTopOrHeightKeepsTheControlsOwn) {
  EXPECT_EQ(ChooseRowBand(-1, -1, 64, 14).top, 64);
  EXPECT_EQ(ChooseRowBand(-1, -1, 64, 14).height, 14);
  EXPECT_EQ(ChooseRowBand(0, 30, 64, 14).top, 0);
  EXPECT_EQ(ChooseRowBand(0, 30, 64, 14).height, 30);
}

TEST(PromptLayoutTest, SmallMessagesGetTheMinimumAndLargeOnesGrowTheWindow) {
  struct Case {
    int measuredWidth;
    int measuredHeight;
    AnchorRect anchor;
    PromptGeometry expected;
  };
  const Case cases[] = {
      {0, 0, {0, 0, 1920, 1080}, {200, 50, 200, 80, 860, 500}},  // empty message
      {150, 40, {0, 0, 1920, 1080}, {200, 50, 200, 80, 860, 500}},
      {480, 120, {0, 0, 1920, 1080}, {480, 120, 480, 150, 720, 465}},
      {201, 51, {-1920, 0, 0, 1080}, {201, 51, 201, 81, -1060, 500}},
      {200, 50, {10, 10, 11, 11}, {200, 50, 200, 80, -90, -30}},  // tiny owner
  };
  for (const Case& c : cases) {
    const PromptGeometry g = PlacePrompt(c.measuredWidth, c.measuredHeight, c.anchor);
    EXPECT_EQ(g.messageWidth, c.expected.messageWidth);
    EXPECT_EQ(g.messageHeight, c.expected.messageHeight);
    EXPECT_EQ(g.clientWidth, c.expected.clientWidth);
    EXPECT_EQ(g.clientHeight, c.expected.clientHeight);
    EXPECT_EQ(g.x, c.expected.x) << c.measuredWidth;
    EXPECT_EQ(g.y, c.expected.y) << c.measuredWidth;
  }
}

TEST(PromptSessionTest, AnswerIsThePressedCaptionAndOutlivesTheWipedTexts) {
  PromptSession session;
  const PromptChoice choices[] = {{u"No", kNegativeChoice}, {u"Yes ", kPositiveChoice}};
  session.Prepare(u"Sure?", choices);
  EXPECT_EQ(session.mode(), 2);
  EXPECT_EQ(session.colors(1).face, kPositiveChoice.face);
  session.Press(session.caption(1));
  session.WipeShownTexts();
  EXPECT_EQ(session.result(), u"Yes ");
  EXPECT_EQ(session.caption(0), u"");
  EXPECT_EQ(session.caption(1), u"");
  EXPECT_EQ(session.message(), u"");

  // Reused for a one-choice prompt that closes without a press.
  session.Prepare(u"Note", std::span(choices, 1));
  EXPECT_EQ(session.mode(), 1);
  EXPECT_EQ(session.caption(1), u"");
  EXPECT_EQ(session.result(), u"Yes ");
}

TEST(ToolTipRecordsTest, OneRecordPerControlInFirstUseOrder) {
  ToolTipRecords<int, int, int> records;
  records.RecordFor(7).text = u"first";
  records.RecordFor(3).text = u"other";
  auto& again = records.RecordFor(7);
  again.text = u"second";
  EXPECT_EQ(records.size(), 2u);
  EXPECT_EQ(&again, &records.records().front());
  EXPECT_EQ(records.records().front().text, u"second");
  EXPECT_EQ(records.records().back().control, 3);
}
