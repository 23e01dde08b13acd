#include "settings_ui/gpu_picker.h"

#include <gtest/gtest.h>

#include "fakes/fake_named_mutexes.h"
#include "fakes/fake_prompts.h"
#include "resources/resource_ids.h"

namespace {

using Names = std::vector<std::u16string>;

class GpuPickerTest : public ::testing::Test {
 protected:
  // Holds a lock wrapper, whose destructor may throw.
  ~GpuPickerTest() noexcept override = default;

  // What the ADL helper lists.
  void Offer(const Names& names) { WriteGpuTable(memory.data() + block::kAvailableGpus, names); }
  Names Published() const {
    return ReadGpuTable(memory.data() + block::kClockState + block::clock::kSelectedGpus);
  }
  const Names& Entries(GpuList list) const { return model.List(list).entries; }
  int MainMutexAccesses() const {
    int count = 0;
    for (const auto& [name, timeout] : mutexes.accesses) {
      count += name == block::kMainMutex ? 1 : 0;
    }
    return count;
  }
  void MakeMainMutexBusy(bool busy) {
    if (busy) {
      mutexes.unavailable.insert(std::u16string(block::kMainMutex));
    } else {
      mutexes.unavailable.clear();
    }
  }
  // Makes the named entry of a list current and presses the list's button.
  void Move(GpuList from, std::u16string_view name) {
    const Names& entries = Entries(from);
    const auto found = std::find(entries.begin(), entries.end(), name);
    ASSERT_NE(found, entries.end()) << "not listed";
    model.SetCurrent(from, static_cast<int>(found - entries.begin()));
    if (from == GpuList::Available) {
      model.SelectGpu();
    } else {
      model.DeselectGpu();
    }
  }

  CGeneralSettings_ConfigFile settings;
  CriticalSection_Wrapper settingsLock{CriticalSection_Wrapper::Form::ReaderWriter};
  std::vector<std::uint8_t> memory = std::vector<std::uint8_t>(block::kSize, 0);
  FakeNamedMutexes mutexes;
  SharedBlock sharedBlock{memory.data(), mutexes};
  FakePrompts prompts;
  GpuPickerModel model{settings, settingsLock, sharedBlock, prompts};
};

}  // namespace

TEST_F(GpuPickerTest, EmptyListsHoldOneBlankEntryThatDoesNotMove) {
  model.Initialize();
  EXPECT_TRUE(model.RefreshDetectedGpus()) << "the first poll always fills the lists";
  EXPECT_EQ(Entries(GpuList::Available), Names{u""});
  EXPECT_EQ(Entries(GpuList::Selected), Names{u""});
  model.SetCurrent(GpuList::Available, 0);
  model.SelectGpu();
  model.SetCurrent(GpuList::Selected, 0);
  model.DeselectGpu();
  EXPECT_TRUE(settings.vecBlacklist.Value().empty());
  EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(GpuPickerTest, ListsSplitTheDetectedGpusByTheSelection) {
  settings.AddSelectedGpu(u"Radeon RX 580");
  settings.AddSelectedGpu(u"OLD CARD");
  Offer({u"Radeon RX 580", u" Radeon Pro W6800\t", u"Arc"});
  model.Initialize();
  model.RefreshDetectedGpus();
  EXPECT_EQ(model.Detected(), (Names{u"Radeon RX 580", u" Radeon Pro W6800\t", u"Arc"}));
  EXPECT_EQ(Entries(GpuList::Available), (Names{u"Arc", u"Radeon Pro W6800"}));
  // A selected GPU the helper no longer lists stays selected.
  EXPECT_EQ(Entries(GpuList::Selected), (Names{u"OLD CARD", u"RADEON RX 580"}));
  EXPECT_EQ(Published(), (Names{u"OLD CARD", u"RADEON RX 580"}));
  EXPECT_EQ(model.CopySelection(), (Names{u"OLD CARD", u"RADEON RX 580"}));
}

TEST_F(GpuPickerTest, MovesChangeTheSettingAndKeepTheCurrentPosition) {
  Offer({u"Radeon B", u"Radeon A", u"Radeon C"});
  model.Initialize();
  model.RefreshDetectedGpus();

  Move(GpuList::Available, u"Radeon A");
  EXPECT_EQ(settings.vecBlacklist.Value(), Names{u"RADEON A"});
  EXPECT_EQ(Entries(GpuList::Available), (Names{u"Radeon B", u"Radeon C"}));
  EXPECT_EQ(model.List(GpuList::Available).current, 0) << "the next entry becomes current";
  model.SelectGpu();
  EXPECT_EQ(Entries(GpuList::Selected), (Names{u"RADEON A", u"RADEON B"}));
  EXPECT_EQ(Published(), (Names{u"RADEON A", u"RADEON B"}));

  // The last entry moved: no entry is left at its position.
  Move(GpuList::Available, u"Radeon C");
  EXPECT_EQ(Entries(GpuList::Available), Names{u""});
  EXPECT_EQ(model.List(GpuList::Available).current, -1);

  // Back to the left with the letter case the helper gives.
  Move(GpuList::Selected, u"RADEON A");
  EXPECT_EQ(settings.vecBlacklist.Value(), (Names{u"RADEON B", u"RADEON C"}));
  EXPECT_EQ(Entries(GpuList::Available), Names{u"Radeon A"});
  EXPECT_EQ(model.CopySelection(), (Names{u"RADEON B", u"RADEON C"}));

  // The block's main mutex stays taken: the setting still changes, the
  // block's table does not.
  MakeMainMutexBusy(true);
  Move(GpuList::Selected, u"RADEON B");
  EXPECT_EQ(settings.vecBlacklist.Value(), Names{u"RADEON C"});
  EXPECT_EQ(Published(), (Names{u"RADEON B", u"RADEON C"}));
}

TEST_F(GpuPickerTest, NamesTheSettingsCannotStoreAreRefused) {
  Offer({u"Radeon RX 580, Series"});
  model.Initialize();
  model.RefreshDetectedGpus();
  Move(GpuList::Available, u"Radeon RX 580, Series");
  EXPECT_TRUE(settings.vecBlacklist.Value().empty());
  EXPECT_EQ(prompts.shown, Names{std::u16string(kUnstorableGpuName)});
  EXPECT_EQ(Entries(GpuList::Available), Names{u"Radeon RX 580, Series"});
}

TEST_F(GpuPickerTest, PollsReadTheTableOnlyWhenItChanged) {
  model.Initialize();
  ASSERT_TRUE(model.RefreshDetectedGpus());
  const int afterFirstPoll = MainMutexAccesses();
  EXPECT_FALSE(model.RefreshDetectedGpus());
  EXPECT_EQ(MainMutexAccesses(), afterFirstPoll) << "an unchanged table is not locked";

  Offer({u"Radeon A"});
  MakeMainMutexBusy(true);
  EXPECT_FALSE(model.RefreshDetectedGpus());
  EXPECT_TRUE(model.Detected().empty());
  MakeMainMutexBusy(false);
  EXPECT_TRUE(model.RefreshDetectedGpus()) << "the busy poll is retried";
  EXPECT_EQ(Entries(GpuList::Available), Names{u"Radeon A"});
  EXPECT_FALSE(model.RefreshDetectedGpus());

  // A table not in the form the program writes (entry 0 empty) never
  // matches the cache: it is read again at every poll, with the same result.
  Offer({});
  const std::u16string name = u"Radeon B";
  std::uint8_t* entry1 = memory.data() + block::kAvailableGpus + block::kGpuEntrySize;
  for (std::size_t i = 0; i < name.size(); ++i) {
    block::WriteUnit(entry1, i * 2, name[i]);
  }
  for (int poll = 0; poll < 2; ++poll) {
    EXPECT_TRUE(model.RefreshDetectedGpus());
    EXPECT_EQ(Entries(GpuList::Available), Names{u"Radeon B"});
  }
}

TEST_F(GpuPickerTest, AClosedBlockIsLeftAlone) {
  SharedBlock closed{nullptr, mutexes};
  GpuPickerModel page{settings, settingsLock, closed, prompts};
  page.Initialize();
  EXPECT_FALSE(page.RefreshDetectedGpus());
  EXPECT_EQ(page.List(GpuList::Available).entries, Names{u""});
  settings.AddSelectedGpu(u"RADEON A");
  page.Initialize();
  page.SetCurrent(GpuList::Selected, 0);
  page.DeselectGpu();
  EXPECT_TRUE(settings.vecBlacklist.Value().empty()) << "moves still change the setting";
  EXPECT_TRUE(mutexes.accesses.empty());
}

TEST(GpuPickerLayoutTest, ButtonsFillTheMiddleColumn) {
  EXPECT_EQ(GpuPickerModel::LayoutGpuTab(400, 301, 75),
            (std::vector<ControlPlacement>{
                {IDC_GPU_AVAILABLE, 0, 30, 163, 271},
                {IDC_GPU_HEADER_AVAILABLE, 0, 0, 163, 30},
                {IDC_GPU_SELECT, 163, 0, 75, 150},
                {IDC_GPU_DESELECT, 163, 150, 75, 151},
                {IDC_GPU_SELECTED, 238, 30, 162, 271},
                {IDC_GPU_HEADER_SELECTED, 238, 0, 162, 30},
            }));
}
