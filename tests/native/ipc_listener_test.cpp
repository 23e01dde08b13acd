#include "ipc/ipc_listener.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "app/log.h"
#include "fakes/fake_named_mutexes.h"
#include "fakes/log_capture.h"

namespace {

class IpcListenerTest : public ::testing::Test {
 protected:
  // Appends as a helper does: text at logText[logLength], length raised.
  void HelperAppends(std::u16string_view text) {
    const std::uint32_t length = block::ReadU32(memory.data(), block::kLogLength);
    for (std::size_t i = 0; i < text.size(); ++i) {
      block::WriteUnit(memory.data(), block::kLogText + 2 * (length + i), text[i]);
    }
    block::WriteU32(memory.data(), block::kLogLength,
                    length + static_cast<std::uint32_t>(text.size()));
  }
  std::vector<std::u16string> LogTexts() { return log.Texts(); }
  std::uint32_t LogLength() const { return block::ReadU32(memory.data(), block::kLogLength); }

  LogCapture log;
  std::vector<std::uint8_t> memory = std::vector<std::uint8_t>(block::kSize);
  FakeNamedMutexes mutexes;
  SharedBlock sharedBlock{memory.data(), mutexes};
  IpcListener listener{sharedBlock};
};

}  // namespace

TEST_F(IpcListenerTest, HelperLinesBecomeLogLinesAndTheAreaIsEmptied) {
  HelperAppends(u"[ADL Helper] started\r\n");
  HelperAppends(u"  [ADL Helper] no GPU found \r\n");
  listener.DrainOnce();
  EXPECT_EQ(LogTexts(),
            (std::vector<std::u16string>{u"[ADL Helper] started", u"[ADL Helper] no GPU found"}));
  EXPECT_EQ(LogLength(), 0u);
  ASSERT_EQ(mutexes.accesses.size(), 1u);
  EXPECT_EQ(mutexes.accesses[0], std::make_pair(std::u16string(block::kLogMutex), 5000u));
}

TEST_F(IpcListenerTest, NothingWaitingMeansNoMutexAndLineBreaksAloneLogNothing) {
  listener.DrainOnce();
  EXPECT_TRUE(mutexes.accesses.empty());

  HelperAppends(u"\r\n\r\n\n");
  listener.DrainOnce();
  EXPECT_TRUE(LogTexts().empty());
  EXPECT_EQ(LogLength(), 0u);
}

TEST_F(IpcListenerTest, BusyMutexLeavesTheTextForALaterPass) {
  HelperAppends(u"first\r\n");
  mutexes.unavailable.insert(std::u16string(block::kLogMutex));
  listener.DrainOnce();
  EXPECT_TRUE(LogTexts().empty());
  EXPECT_EQ(LogLength(), 7u);

  mutexes.unavailable.clear();
  listener.DrainOnce();
  EXPECT_EQ(LogTexts(), std::vector<std::u16string>{u"first"});
}

TEST_F(IpcListenerTest, LengthBeyondTheAreaIsLimitedToIt) {
  for (std::size_t i = 0; i < block::kLogTextUnits; ++i) {
    block::WriteUnit(memory.data(), block::kLogText + 2 * i, u'x');
  }
  block::WriteU32(memory.data(), block::kLogLength, 0xFFFFFFFF);
  listener.DrainOnce();
  const std::vector<std::u16string> texts = LogTexts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].size(), block::kLogTextUnits);
  EXPECT_EQ(LogLength(), 0u);
}

TEST_F(IpcListenerTest, JobDrainsUntilStopped) {
  HelperAppends(u"line\r\n");
  Event stop(Event::ResetMode::Manual, false);
  std::thread job([&] { listener.Run(stop); });
  while (LogLength() != 0) {
    std::this_thread::yield();
  }
  stop.Set();
  job.join();
  EXPECT_EQ(LogTexts(), std::vector<std::u16string>{u"line"});
}
