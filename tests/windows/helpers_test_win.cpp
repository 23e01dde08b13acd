// The helper executables' common life: admission, registration, logging,
// and their end.
#include <gtest/gtest.h>

#include "helper_rig_win.h"
#include "test_support_win.h"

TEST_F(HelpersTest, WrongTokenIsRefusedWithoutTouchingTheBlock) {
  ASSERT_TRUE(segment.IsOpen());
  for (const HelperCase& helper : {kCompute, kAdl}) {
    SCOPED_TRACE(Narrow(helper.logPrefix));
    const std::u16string token = IssueToken(helper.helper);
    ASSERT_EQ(token.size(), 256u);
    std::u16string wrong = token;
    wrong[100] = wrong[100] == u'x' ? u'y' : u'x';
    HelperProcess process(helper.fileName, wrong);
    ASSERT_NE(process.id(), 0u);
    EXPECT_EQ(process.WaitForExit(kRegisterTimeoutMs), std::optional<DWORD>(1));
    EXPECT_EQ(U32(helper.processId), 0u);
    EXPECT_EQ(U32(block::kLogLength), 0u);
  }
}

TEST_F(HelpersTest, RegistersLogsAndEndsWhenAStopFlagIsRaised) {
  ASSERT_TRUE(segment.IsOpen());
  struct Case {
    const HelperCase& helper;
    std::size_t stopFlag;
  };
  for (const Case& c : {Case{kCompute, block::kStopFlagA}, Case{kAdl, block::kStopFlagB}}) {
    SCOPED_TRACE(Narrow(c.helper.logPrefix));
    HelperProcess process(c.helper.fileName, IssueToken(c.helper.helper));
    ASSERT_NE(process.id(), 0u);
    ASSERT_TRUE(WaitUntil([&] { return Registered(c.helper, process.id()); }, kRegisterTimeoutMs));
    const std::u16string clockLine = std::u16string(c.helper.logPrefix) + u"clock state received: ";
    EXPECT_TRUE(WaitUntil([&] { return LogContains(clockLine); }, kEndTimeoutMs))
        << Narrow(LogText());
    EXPECT_FALSE(process.WaitForExit(0)) << "runs while the flags are down";

    Bytes()[c.stopFlag] = 1;
    EXPECT_EQ(process.WaitForExit(kEndTimeoutMs), std::optional<DWORD>(0));
    EXPECT_TRUE(LogContains(std::u16string(c.helper.logPrefix) + u"stopping: stop flag raised"));
    EXPECT_EQ(U32(c.helper.processId), 0u);
    Bytes()[c.stopFlag] = 0;
    block::WriteU32(Bytes(), block::kLogLength, 0);
  }
}

TEST_F(HelpersTest, EndsOnItsOwnWhenTheApplicationIsGone) {
  ASSERT_TRUE(segment.IsOpen());
  // A process that has ended, kept open so that its id is not given to
  // another: a helper refused for want of a token.
  HelperProcess ended(kCompute.fileName, u"");
  ASSERT_EQ(ended.WaitForExit(kRegisterTimeoutMs), std::optional<DWORD>(1));
  HelperProcess process(kCompute.fileName, IssueToken(Helper::Compute));
  ASSERT_TRUE(WaitUntil([&] { return Registered(kCompute, process.id()); }, kRegisterTimeoutMs));
  block::WriteU32(Bytes(), block::kAppProcessId, ended.id());
  EXPECT_EQ(process.WaitForExit(kEndTimeoutMs), std::optional<DWORD>(0));
  EXPECT_TRUE(LogContains(u"[Compute Helper] stopping: the application"));
}

TEST_F(HelpersTest, AdlHelperOffersNoGpusWithoutTheDisplayLibrary) {
  ASSERT_TRUE(segment.IsOpen());
  WriteGpuTable(Bytes() + block::kAvailableGpus, {u"Stale GPU"});
  HelperProcess process(kAdl.fileName, IssueToken(Helper::Adl));
  ASSERT_TRUE(WaitUntil([&] { return Registered(kAdl, process.id()); }, kRegisterTimeoutMs));
  EXPECT_TRUE(WaitUntil(
      [&] {
        NamedMutexLock lock(mutexes, block::kMainMutex, 10000);
        return lock.Acquired() && ReadGpuTable(Bytes() + block::kAvailableGpus).empty();
      },
      kEndTimeoutMs));
  EXPECT_TRUE(
      WaitUntil([&] { return LogContains(u"[ADL Helper] AMD Display Library"); }, kEndTimeoutMs))
      << Narrow(LogText());
}
