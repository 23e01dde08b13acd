#include "ipc/shared_block.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/log.h"
#include "fakes/fake_named_mutexes.h"
#include "fakes/log_capture.h"
#include "ipc/random_token.h"

namespace {

class SharedBlockTest : public ::testing::Test {
 protected:
  std::vector<std::u16string> LogTexts() { return log.Texts(); }
  std::uint8_t* At(std::size_t offset) { return memory.data() + offset; }
  std::vector<std::uint8_t> Bytes(std::size_t offset, std::size_t count) {
    return {memory.begin() + static_cast<std::ptrdiff_t>(offset),
            memory.begin() + static_cast<std::ptrdiff_t>(offset + count)};
  }

  LogCapture log;
  // Left-overs of an earlier run: every byte set.
  std::vector<std::uint8_t> memory = std::vector<std::uint8_t>(block::kSize, 0xAB);
  FakeNamedMutexes mutexes;
  SharedBlock sharedBlock{memory.data(), mutexes};
};

}  // namespace

TEST(SharedBlockLayoutTest, OffsetsAsDocumented) {
  const std::pair<std::size_t, std::size_t> offsets[] = {
      {block::kComputeToken, 256},
      {block::kComputeTokenTerminator, 768},
      {block::kComputeSpare, 769},
      {block::kComputeSpareTerminator, 1281},
      {block::kStopFlagA, 1282},
      {block::kStopFlagB, 1283},
      {block::kAppProcessId, 1284},
      {block::kAppWindow, 1288},
      {block::kComputeProcessId, 1292},
      {block::kComputeWindow, 1296},
      {block::kLogLength, 1300},
      {block::kLogText, 1304},
      {block::kAdlProcessId, 2098456},
      {block::kAdlWindow, 2098460},
      {block::kAdlToken, 2098464},
      {block::kAdlTokenTerminator, 2098976},
      {block::kAdlSpare, 2098977},
      {block::kAdlSpareTerminator, 2099489},
      {block::kAvailableGpus, 2099490},
      {block::kClockState, 2107490},
      {block::kClockState + block::clock::kCoreDefault, 0x20286A},
      {block::kClockState + block::clock::kMemTarget, 0x20287C},
      {block::kClockState + block::clock::kSelectedGpus, 0x202882},
      {block::kClockState + block::clock::kWatchdogSeconds, 0x2047C2},
      {block::kSize, 2115526},
  };
  for (const auto& [actual, documented] : offsets) {
    EXPECT_EQ(actual, documented);
  }
}

TEST(SharedBlockLayoutTest, HeaderEncoding) {
  const auto header = EncodedHeader();
  EXPECT_EQ(header[0], 0x57);
  EXPECT_EQ(header[1], 0x64);
  EXPECT_EQ(header[34], 0x45);
  EXPECT_EQ(header[255], 255);
}

TEST(GpuTableTest, WritesTwentyNamesAtMostAndReadsNonEmptyEntries) {
  std::vector<std::uint8_t> table(block::kGpuTableSize, 0xEE);
  std::vector<std::u16string> many;
  for (int i = 0; i < 25; ++i) {
    many.push_back(u"GPU " + std::u16string(1, static_cast<char16_t>(u'A' + i)));
  }
  WriteGpuTable(table.data(), many);
  EXPECT_EQ(ReadGpuTable(table.data()),
            std::vector<std::u16string>(many.begin(), many.begin() + 20));

  WriteGpuTable(table.data(), {u"RADEON RX 7900", u"RADEON RX 6600", u"X"});
  EXPECT_TRUE(std::all_of(table.begin() + 3 * block::kGpuEntrySize, table.end(),
                          [](std::uint8_t byte) { return byte == 0; }));

  // A gap at entry 1 is skipped.
  WriteGpuTable(table.data(), {u"A", u"", u"C"});
  EXPECT_EQ(ReadGpuTable(table.data()), (std::vector<std::u16string>{u"A", u"C"}));

  const std::u16string full(200, u'N');
  WriteGpuTable(table.data(), {full, full + u"cut"});
  EXPECT_EQ(ReadGpuTable(table.data()), (std::vector<std::u16string>{full, full}));
}

TEST_F(SharedBlockTest, InitPreparesTheBlockAndLogsEachStep) {
  ASSERT_TRUE(sharedBlock.INIT_SharedMem(0x00123456, 4242));
  const auto header = EncodedHeader();
  EXPECT_EQ(Bytes(0, 256), std::vector<std::uint8_t>(header.begin(), header.end()));
  for (std::size_t terminator : {768u, 1281u, 2098976u, 2099489u}) {
    EXPECT_EQ(memory[terminator], 0) << terminator;
  }
  EXPECT_EQ(memory[block::kStopFlagA], 1);
  EXPECT_EQ(memory[block::kStopFlagB], 1);
  EXPECT_EQ(block::ReadU32(At(0), block::kAppWindow), 0x00123456u);
  EXPECT_EQ(block::ReadU32(At(0), block::kAppProcessId), 4242u);
  for (std::size_t field : {block::kComputeProcessId, block::kComputeWindow, block::kAdlProcessId,
                            block::kAdlWindow, block::kLogLength}) {
    EXPECT_EQ(block::ReadU32(At(0), field), 0u) << field;
  }
  EXPECT_EQ(memory[block::kLogText], 0xAB) << "the old log text is left as it was";
  EXPECT_EQ(memory[block::kComputeSpare], 0xAB);

  const std::uint8_t* record = At(block::kClockState);
  EXPECT_EQ(block::ReadU32(record, block::clock::kBlockingMethod), 0u);
  EXPECT_EQ(block::ReadU32(record, block::clock::kState), 2u);
  for (std::size_t entry : {block::clock::kCoreDefault, block::clock::kMemDefault,
                            block::clock::kCoreTarget, block::clock::kMemTarget}) {
    EXPECT_EQ(Bytes(block::kClockState + entry, 6), (std::vector<std::uint8_t>{0, 1, 0, 0, 0, 0}));
  }
  EXPECT_TRUE(ReadGpuTable(record + block::clock::kSelectedGpus).empty());
  EXPECT_TRUE(ReadGpuTable(At(block::kAvailableGpus)).empty());
  EXPECT_EQ(block::ReadU32(record, block::clock::kWatchdogSeconds), 0xABABABABu)
      << "left to the first publication";

  EXPECT_EQ(LogTexts(), (std::vector<std::u16string>{
                            u"INIT_SharedMem():: INIT shared memory",
                            u"INIT_SharedMem():: Setting up IPC initial params",
                            u"INIT_SharedMem():: Signaling any resident helpers",
                            u"INIT_SharedMem():: Unlocked, INIT -- OK",
                        }));
  EXPECT_TRUE(mutexes.held.empty());
}

TEST_F(SharedBlockTest, InitFailsWithoutTheMainMutexAndGoesOnWithoutTheClockStateMutex) {
  mutexes.unavailable.insert(std::u16string(block::kMainMutex));
  EXPECT_FALSE(sharedBlock.INIT_SharedMem(1, 2));
  EXPECT_EQ(memory[block::kStopFlagA], 0xAB);
  EXPECT_EQ(LogTexts().back(), u"INIT_SharedMem():: FATAL ERROR: Failed to lock shared memory");

  mutexes.unavailable = {std::u16string(block::kClockStateMutex)};
  EXPECT_TRUE(sharedBlock.INIT_SharedMem(1, 2));
  EXPECT_EQ(memory[block::kClockState], 0xAB) << "the record is not touched";
  const std::vector<std::u16string> texts = LogTexts();
  EXPECT_NE(std::find(texts.begin(), texts.end(),
                      u"INIT_SharedMem():: COREMODULE_UUID_CLOCKSTATE -- Mutex lock never "
                      u"returned ... proceeding anyway.  (this shouldn't happen!)"),
            texts.end());

  SharedBlock closed(nullptr, mutexes);
  const std::size_t lines = LogTexts().size();
  EXPECT_FALSE(closed.INIT_SharedMem(1, 2));
  EXPECT_EQ(LogTexts().size(), lines) << "a closed block fails silently";
}

TEST_F(SharedBlockTest, TokenIssueClearsTheHelpersIdentity) {
  for (Helper helper : {Helper::Compute, Helper::Adl}) {
    std::fill(memory.begin(), memory.end(), 0xAB);
    const std::u16string token = sharedBlock.IssueHelperToken(helper);
    ASSERT_EQ(token.size(), 256u);
    const bool adl = helper == Helper::Adl;
    const std::size_t area = adl ? block::kAdlToken : block::kComputeToken;
    std::u16string stored;
    for (std::size_t i = 0; i < 256; ++i) {
      stored.push_back(block::ReadUnit(At(0), area + 2 * i));
    }
    EXPECT_EQ(stored, token);
    EXPECT_EQ(memory[area + block::kTokenAreaSize], 0);
    EXPECT_EQ(block::ReadU32(At(0), adl ? block::kAdlProcessId : block::kComputeProcessId), 0u);
    EXPECT_EQ(block::ReadU32(At(0), adl ? block::kAdlWindow : block::kComputeWindow), 0u);
    EXPECT_EQ(block::ReadU32(At(0), adl ? block::kComputeProcessId : block::kAdlProcessId),
              0xABABABABu);
    EXPECT_EQ(memory[block::kStopFlagA], adl ? 0 : 0xAB);
    EXPECT_EQ(memory[block::kStopFlagB], adl ? 0 : 0xAB);
  }
}

TEST_F(SharedBlockTest, TokenIssueWithoutItsMutexLeavesTheBlockAlone) {
  mutexes.unavailable.insert(std::u16string(block::kSharedMsgMutex));
  const std::vector<std::uint8_t> before = memory;
  EXPECT_TRUE(sharedBlock.IssueHelperToken(Helper::Adl).empty());
  EXPECT_TRUE(memory == before);
}

TEST_F(SharedBlockTest, GpuTablesGoThroughTheMainMutex) {
  WriteGpuTable(At(block::kAvailableGpus), {u"RADEON RX 7900"});
  EXPECT_EQ(sharedBlock.ReadAvailableGpus(), (std::vector<std::u16string>{u"RADEON RX 7900"}));
  sharedBlock.WriteSelectedGpus({u"RADEON RX 7900"});
  EXPECT_EQ(ReadGpuTable(At(block::kClockState + block::clock::kSelectedGpus)),
            (std::vector<std::u16string>{u"RADEON RX 7900"}));

  mutexes.unavailable.insert(std::u16string(block::kMainMutex));
  EXPECT_FALSE(sharedBlock.ReadAvailableGpus().has_value());
  sharedBlock.WriteSelectedGpus({});
  EXPECT_EQ(ReadGpuTable(At(block::kClockState + block::clock::kSelectedGpus)).size(), 1u);
  for (const auto& [name, timeout] : mutexes.accesses) {
    EXPECT_EQ(timeout, 10000u);
  }
}

TEST(RandomTokenTest, TokensUseTheAlphabetOnly) {
  const std::u16string token = RandomToken();
  ASSERT_EQ(token.size(), 256u);
  EXPECT_EQ(token.find(u'Y'), std::u16string::npos);
  EXPECT_EQ(token.find_first_not_of(kTokenAlphabet), std::u16string::npos);
  EXPECT_EQ(kTokenAlphabet.find(u'Y'), std::u16string::npos);
}
