#include "ipc/shared_block.h"

#include <cstring>

#include "app/log.h"
#include "base/crt_random.h"
#include "ipc/random_token.h"

namespace {

constexpr std::uint32_t kInitMainTimeoutMs = 5000;
constexpr std::uint32_t kInitClockStateTimeoutMs = 10000;
constexpr std::uint32_t kGpuTableTimeoutMs = 10000;
constexpr std::uint32_t kTokenTimeoutMs = 10000;

// The version tag the helpers check; it starts with the product name, so
// that byte 0 encodes to 0x57 and byte 1 to 0x64.
constexpr char kVersionTag[] = "Vantreloquin Nkmgyl Jzjytf g4.0-3j";
static_assert(sizeof kVersionTag - 1 == 34);

void WriteDefaultClockEntry(std::uint8_t* entry) {
  entry[block::clock::kEntryCustom] = 0;
  entry[block::clock::kEntryRelative] = 1;
  block::WriteU32(entry, block::clock::kEntryValue, 0);
}

}  // namespace

std::array<std::uint8_t, block::kHeaderSize> EncodedHeader() {
  std::array<std::uint8_t, block::kHeaderSize> header{};
  std::memcpy(header.data(), kVersionTag, sizeof kVersionTag - 1);
  for (std::size_t i = 0; i < header.size(); ++i) {
    header[i] = static_cast<std::uint8_t>(header[i] + 2 * i + 1);
  }
  return header;
}

void WriteGpuTable(std::uint8_t* table, const std::vector<std::u16string>& names) {
  std::memset(table, 0, block::kGpuTableSize);
  for (std::size_t entry = 0; entry < names.size() && entry < block::kGpuEntries; ++entry) {
    const std::u16string& name = names[entry];
    const std::size_t units =
        name.size() < block::kGpuNameUnits ? name.size() : block::kGpuNameUnits;
    for (std::size_t i = 0; i < units; ++i) {
      block::WriteUnit(table, entry * block::kGpuEntrySize + i * 2, name[i]);
    }
  }
}

std::vector<std::u16string> ReadGpuTable(const std::uint8_t* table) {
  std::vector<std::u16string> names;
  for (std::size_t entry = 0; entry < block::kGpuEntries; ++entry) {
    std::u16string name;
    for (std::size_t i = 0; i < block::kGpuNameUnits; ++i) {
      const char16_t unit = block::ReadUnit(table, entry * block::kGpuEntrySize + i * 2);
      if (unit == 0) {
        break;
      }
      name.push_back(unit);
    }
    if (!name.empty()) {
      names.push_back(std::move(name));
    }
  }
  return names;
}

bool SharedBlock::INIT_SharedMem(std::uint32_t appWindow, std::uint32_t appProcessId) {
  if (!IsOpen()) {
    return false;
  }
  Log(u"INIT_SharedMem():: INIT shared memory");
  NamedMutexLock main(mutexes_, block::kMainMutex, kInitMainTimeoutMs);
  if (!main.Acquired()) {
    Log(u"INIT_SharedMem():: FATAL ERROR: Failed to lock shared memory");
    return false;
  }
  for (std::size_t terminator : {block::kComputeTokenTerminator, block::kComputeSpareTerminator,
                                 block::kAdlTokenTerminator, block::kAdlSpareTerminator}) {
    view_[terminator] = 0;
  }
  std::array<std::uint8_t, block::kHeaderSize> header = EncodedHeader();
  std::memcpy(view_ + block::kHeader, header.data(), header.size());
  // The tag's copy in process memory is not left readable.
  for (std::uint8_t& byte : header) {
    byte = static_cast<std::uint8_t>(NextCrtRandom());
  }

  Log(u"INIT_SharedMem():: Setting up IPC initial params");
  block::WriteU32(view_, block::kAdlWindow, 0);
  block::WriteU32(view_, block::kAdlProcessId, 0);
  block::WriteU32(view_, block::kComputeWindow, 0);
  block::WriteU32(view_, block::kComputeProcessId, 0);
  view_[block::kStopFlagA] = 1;
  view_[block::kStopFlagB] = 1;
  block::WriteU32(view_, block::kAppWindow, appWindow);
  block::WriteU32(view_, block::kAppProcessId, appProcessId);
  block::WriteU32(view_, block::kLogLength, 0);

  {
    NamedMutexLock clockState(mutexes_, block::kClockStateMutex, kInitClockStateTimeoutMs);
    if (clockState.Acquired()) {
      std::uint8_t* record = view_ + block::kClockState;
      block::WriteU32(record, block::clock::kBlockingMethod, 0);
      block::WriteU32(record, block::clock::kState, 2);
      for (std::size_t entry : {block::clock::kCoreDefault, block::clock::kMemDefault,
                                block::clock::kCoreTarget, block::clock::kMemTarget}) {
        WriteDefaultClockEntry(record + entry);
      }
      WriteGpuTable(record + block::clock::kSelectedGpus, {});
    } else {
      Log(u"INIT_SharedMem():: COREMODULE_UUID_CLOCKSTATE -- Mutex lock never returned ... "
          u"proceeding anyway.  (this shouldn't happen!)");
    }
  }
  WriteGpuTable(view_ + block::kAvailableGpus, {});
  Log(u"INIT_SharedMem():: Signaling any resident helpers");
  main.Release();
  Log(u"INIT_SharedMem():: Unlocked, INIT -- OK");
  return true;
}

std::u16string SharedBlock::IssueHelperToken(Helper helper) {
  std::u16string token = RandomToken();
  if (!IsOpen()) {
    return token;
  }
  NamedMutexLock sharedMsg(mutexes_, block::kSharedMsgMutex, kTokenTimeoutMs);
  if (!sharedMsg.Acquired()) {
    return {};
  }
  const bool adl = helper == Helper::Adl;
  block::WriteU32(view_, adl ? block::kAdlProcessId : block::kComputeProcessId, 0);
  block::WriteU32(view_, adl ? block::kAdlWindow : block::kComputeWindow, 0);
  if (adl) {
    view_[block::kStopFlagA] = 0;
    view_[block::kStopFlagB] = 0;
  }
  const std::size_t area = adl ? block::kAdlToken : block::kComputeToken;
  std::memset(view_ + area, 0, block::kTokenAreaSize);
  for (std::size_t i = 0; i < token.size() && i < block::kTokenAreaSize / 2; ++i) {
    block::WriteUnit(view_, area + i * 2, token[i]);
  }
  view_[adl ? block::kAdlTokenTerminator : block::kComputeTokenTerminator] = 0;
  return token;
}

std::optional<std::vector<std::u16string>> SharedBlock::ReadAvailableGpus() {
  if (!IsOpen()) {
    return std::nullopt;
  }
  NamedMutexLock main(mutexes_, block::kMainMutex, kGpuTableTimeoutMs);
  if (!main.Acquired()) {
    return std::nullopt;
  }
  return ReadGpuTable(view_ + block::kAvailableGpus);
}

void SharedBlock::WriteSelectedGpus(const std::vector<std::u16string>& names) {
  if (!IsOpen()) {
    return;
  }
  NamedMutexLock main(mutexes_, block::kMainMutex, kGpuTableTimeoutMs);
  if (main.Acquired()) {
    WriteGpuTable(view_ + block::kClockState + block::clock::kSelectedGpus, names);
  }
}

void SharedBlock::RefreshAppIdentity(std::uint32_t appWindow, std::uint32_t appProcessId) {
  if (IsOpen()) {
    block::WriteU32(view_, block::kAppWindow, appWindow);
    block::WriteU32(view_, block::kAppProcessId, appProcessId);
  }
}
