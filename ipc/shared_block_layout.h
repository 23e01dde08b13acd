// The byte layout of the shared state block, the contract with the helper
// executables: little-endian, no gaps, no alignment. Texts are UTF-16LE.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace block {

inline constexpr std::size_t kHeader = 0x000000;
inline constexpr std::size_t kHeaderSize = 256;
inline constexpr std::size_t kComputeToken = 0x000100;
inline constexpr std::size_t kTokenAreaSize = 512;  // 256 UTF-16 units
inline constexpr std::size_t kComputeTokenTerminator = 0x000300;
inline constexpr std::size_t kComputeSpare = 0x000301;
inline constexpr std::size_t kComputeSpareTerminator = 0x000501;
inline constexpr std::size_t kStopFlagA = 0x000502;
inline constexpr std::size_t kStopFlagB = 0x000503;
inline constexpr std::size_t kAppProcessId = 0x000504;
inline constexpr std::size_t kAppWindow = 0x000508;
inline constexpr std::size_t kComputeProcessId = 0x00050C;
inline constexpr std::size_t kComputeWindow = 0x000510;
inline constexpr std::size_t kLogLength = 0x000514;
inline constexpr std::size_t kLogText = 0x000518;
inline constexpr std::size_t kLogTextUnits = 1048576;
inline constexpr std::size_t kAdlProcessId = 0x200518;
inline constexpr std::size_t kAdlWindow = 0x20051C;
inline constexpr std::size_t kAdlToken = 0x200520;
inline constexpr std::size_t kAdlTokenTerminator = 0x200720;
inline constexpr std::size_t kAdlSpare = 0x200721;
inline constexpr std::size_t kAdlSpareTerminator = 0x200921;
inline constexpr std::size_t kAvailableGpus = 0x200922;
inline constexpr std::size_t kClockState = 0x202862;
inline constexpr std::size_t kSize = 0x2047C6;

// The GPU table: 20 entries of 200 UTF-16 units each.
inline constexpr std::size_t kGpuEntries = 20;
inline constexpr std::size_t kGpuNameUnits = 200;
inline constexpr std::size_t kGpuEntrySize = kGpuNameUnits * 2;
inline constexpr std::size_t kGpuTableSize = kGpuEntries * kGpuEntrySize;

// The clock-state record, relative to kClockState.
namespace clock {
inline constexpr std::size_t kBlockingMethod = 0;
inline constexpr std::size_t kState = 4;
inline constexpr std::size_t kCoreDefault = 8;
inline constexpr std::size_t kMemDefault = 14;
inline constexpr std::size_t kCoreTarget = 20;
inline constexpr std::size_t kMemTarget = 26;
inline constexpr std::size_t kSelectedGpus = 32;
inline constexpr std::size_t kWatchdogSeconds = 8032;
inline constexpr std::size_t kSize = 8036;
// A clock entry: custom (byte), relative (byte), value (signed 32-bit).
inline constexpr std::size_t kEntryCustom = 0;
inline constexpr std::size_t kEntryRelative = 1;
inline constexpr std::size_t kEntryValue = 2;
inline constexpr std::size_t kEntrySize = 6;
}  // namespace clock

static_assert(kComputeToken == kHeader + kHeaderSize);
static_assert(kComputeTokenTerminator == kComputeToken + kTokenAreaSize);
static_assert(kComputeSpare == kComputeTokenTerminator + 1);
static_assert(kComputeSpareTerminator == kComputeSpare + kTokenAreaSize);
static_assert(kStopFlagA == kComputeSpareTerminator + 1);
static_assert(kStopFlagB == kStopFlagA + 1);
static_assert(kAppProcessId == kStopFlagB + 1);
static_assert(kAppWindow == kAppProcessId + 4);
static_assert(kComputeProcessId == kAppWindow + 4);
static_assert(kComputeWindow == kComputeProcessId + 4);
static_assert(kLogLength == kComputeWindow + 4);
static_assert(kLogText == kLogLength + 4);
static_assert(kAdlProcessId == kLogText + kLogTextUnits * 2);
static_assert(kAdlWindow == kAdlProcessId + 4);
static_assert(kAdlToken == kAdlWindow + 4);
static_assert(kAdlTokenTerminator == kAdlToken + kTokenAreaSize);
static_assert(kAdlSpare == kAdlTokenTerminator + 1);
static_assert(kAdlSpareTerminator == kAdlSpare + kTokenAreaSize);
static_assert(kAvailableGpus == kAdlSpareTerminator + 1);
static_assert(kClockState == kAvailableGpus + kGpuTableSize);
static_assert(kSize == kClockState + clock::kSize);
static_assert(kSize == 2115526);
static_assert(clock::kMemDefault == clock::kCoreDefault + clock::kEntrySize);
static_assert(clock::kCoreTarget == clock::kMemDefault + clock::kEntrySize);
static_assert(clock::kMemTarget == clock::kCoreTarget + clock::kEntrySize);
static_assert(clock::kSelectedGpus == clock::kMemTarget + clock::kEntrySize);
static_assert(clock::kWatchdogSeconds == clock::kSelectedGpus + kGpuTableSize);
static_assert(clock::kSize == clock::kWatchdogSeconds + 4);

inline constexpr std::u16string_view kSegmentName =
    u"Vantreloquin_67e66341-c96b-499f-868f-2938ec44b7ed";
inline constexpr std::u16string_view kMainMutex =
    u"Vantreloquin_SharedModule {8KZNTMOV-DY03-LV19-0992-WXGCSTKIRVN}";
inline constexpr std::u16string_view kClockStateMutex =
    u"Vantreloquin_SharedModule_ClockState {2ASVZGHE-WE37-KD78-9256-JUYTBNSLYIA}";
inline constexpr std::u16string_view kLogMutex =
    u"Vantreloquin_SharedModule_log {8KZNTMOV-DY03-LV19-0992-WXGCSTKIRVN}";
inline constexpr std::u16string_view kSharedMsgMutex =
    u"Vantreloquin_SharedModule_sharedmsg {8KZNTMOV-DY03-LV19-0992-WXGCSTKIRVN}";

// Little-endian access at a byte offset; the block has no alignment.
inline std::uint32_t ReadU32(const std::uint8_t* bytes, std::size_t offset) {
  return static_cast<std::uint32_t>(bytes[offset]) |
         static_cast<std::uint32_t>(bytes[offset + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[offset + 2]) << 16 |
         static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

inline void WriteU32(std::uint8_t* bytes, std::size_t offset, std::uint32_t value) {
  bytes[offset] = static_cast<std::uint8_t>(value);
  bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
  bytes[offset + 2] = static_cast<std::uint8_t>(value >> 16);
  bytes[offset + 3] = static_cast<std::uint8_t>(value >> 24);
}

inline char16_t ReadUnit(const std::uint8_t* bytes, std::size_t offset) {
  return static_cast<char16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

inline void WriteUnit(std::uint8_t* bytes, std::size_t offset, char16_t unit) {
  bytes[offset] = static_cast<std::uint8_t>(unit);
  bytes[offset + 1] = static_cast<std::uint8_t>(unit >> 8);
}

}  // namespace block
