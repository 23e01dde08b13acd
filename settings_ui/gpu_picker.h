// The "[ADL] GPU-Picker" page without its window: the GPUs the ADL helper
// reaches that are not chosen ("Available GPUs", left) and the chosen ones
// ("Selected GPUs", right), the moves between them, the poll that follows
// the helper's GPU table, and the page's copy of the selection. The page's
// dialog mirrors both lists into its list boxes after every call that
// changes them and reports the user's current entries back.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/critical_section_wrapper.h"
#include "config/general_settings.h"
#include "ipc/shared_block.h"
#include "ipc/shared_block_layout.h"
#include "settings_ui/control_placement.h"
#include "toolkit/prompts.h"

inline constexpr std::u16string_view kAvailableGpusHeader = u"Available GPUs";
inline constexpr std::u16string_view kSelectedGpusHeader = u"Selected GPUs";
inline constexpr int kGpuHeaderMaxFontHeight = 50;
inline constexpr int kGpuHeaderHeight = 30;

// Colours (0x00BBGGRR): green on dark grey lists, ">" white on green, "<"
// white on red.
inline constexpr ChoiceColors kGpuListColors{0x00FF00, 0x323232};
inline constexpr ChoiceColors kGpuSelectColors{0xFFFFFF, 0x00C800};
inline constexpr ChoiceColors kGpuDeselectColors{0xFFFFFF, 0x0000C8};

inline constexpr std::u16string_view kAvailableGpusTip =
    u"Displays ADL accessible devices that haven't been selected yet.\r\n\r\nYou can double click "
    u"on a device to move it over to the selected GPU's list.\r\n\r\n**Devices in the allowed "
    u"list permit \"manual\" clock control.\r\n\r\n**It would probably be wise to only select "
    u"similar GPU's.";
inline constexpr std::u16string_view kSelectedGpusTip =
    u"Displays already selected devices for clock control.\r\n\r\nYou can double click on a "
    u"device to exclude or remove it from this list.";
inline constexpr std::u16string_view kDeselectGpuTip = u"Moves selected item from right to left";
inline constexpr std::u16string_view kSelectGpuTip = u"Moves selected item from left to right";

// Shown instead of selecting a GPU whose name the settings list cannot hold.
inline constexpr std::u16string_view kUnstorableGpuName =
    u"This GPU's name contains a comma (\",\"), which the settings cannot store.\r\n\r\nIt "
    u"cannot be selected.";

enum class GpuList { Available, Selected };

// A list box's content: its entries in order and its current entry (-1 for
// none). An empty list holds one blank entry.
struct GpuListContent {
  std::vector<std::u16string> entries{std::u16string()};
  int current = -1;
};

class GpuPickerModel {
 public:
  // The block may be closed; then polls do nothing and moves still change
  // the settings.
  GpuPickerModel(CGeneralSettings_ConfigFile& settings, CriticalSection_Wrapper& settingsLock,
                 SharedBlock& block, Prompts& prompts)
      : settings_(settings), settingsLock_(settingsLock), block_(block), prompts_(prompts) {}

  // Dialog initialisation: takes the selection from the settings and fills
  // the lists.
  void Initialize();

  const GpuListContent& List(GpuList list) const {
    return list == GpuList::Available ? available_ : selected_;
  }
  // The user moved a list's current entry.
  void SetCurrent(GpuList list, int index);

  // ">" (also a double click on the left list or the right-arrow key) and
  // "<" (a double click on the right list or the left-arrow key): move the
  // current entry across. A blank or missing current entry does nothing.
  void SelectGpu();
  void DeselectGpu();

  // The controller's 250 ms poll: follows the helper's GPU table. True when
  // the lists were rebuilt.
  bool RefreshDetectedGpus();

  // The page's copy of the selection (upper case, sorted).
  std::vector<std::u16string> CopySelection() const { return selection_; }
  // The GPU names last read from the helper's table, in entry order.
  const std::vector<std::u16string>& Detected() const { return detected_; }

  // The two lists with the buttons in a middle column of buttonWidth
  // between them, ">" above "<", the headers over the lists.
  static std::vector<ControlPlacement> LayoutGpuTab(int width, int height, int buttonWidth);
  // Gives the list the names sorted by code units, keeping its current
  // entry where the list is still long enough.
  static void FillList(GpuListContent& list, std::vector<std::u16string> names);

 private:
  void Move(GpuList from);
  void RebuildLists();

  CGeneralSettings_ConfigFile& settings_;
  CriticalSection_Wrapper& settingsLock_;
  SharedBlock& block_;
  Prompts& prompts_;
  std::vector<std::u16string> selection_;
  std::vector<std::u16string> detected_;
  GpuListContent available_;
  GpuListContent selected_;
  // The helper's table as last taken over, and the first poll's forced
  // rebuild (there is one page per process).
  std::array<std::uint8_t, block::kGpuTableSize> tableCache_{};
  bool reload_ = true;
};
