// The parts of the AMD Display Library (atiadlxx.dll) the ADL helper calls,
// declared from the library's public documentation. Every function returns
// an AdlResult; pointers to structures are filled by the library.
#pragma once

#include <cstdint>

namespace adl {

using Context = void*;
// The library allocates the lists it returns through this callback.
using AllocateCallback = void*(__stdcall*)(int bytes);

enum AdlResult : int {
  kOk = 0,
  kOkWarning = 1,
  kOkModeChange = 2,
  kOkRestart = 3,
  kOkWait = 4,
  kError = -1,
  kNotInitialised = -2,
  kInvalidParameter = -3,
  kInvalidParameterSize = -4,
  kInvalidAdapterIndex = -5,
  kInvalidControllerIndex = -6,
  kInvalidDisplayIndex = -7,
  kNotSupported = -8,
  kNullPointer = -9,
  kDisabledAdapter = -10,
  kInvalidCallback = -11,
  kResourceConflict = -12,
  kSetIncomplete = -20,
  kNoXDisplay = -21,
};

inline constexpr int kMaxPath = 256;
inline constexpr int kAmdVendorId = 0x1002;

// One entry per display output of each adapter (the Windows layout).
struct AdapterInfo {
  int size;
  int adapterIndex;
  char udid[kMaxPath];
  int busNumber;
  int deviceNumber;
  int functionNumber;
  int vendorId;
  char adapterName[kMaxPath];
  char displayName[kMaxPath];
  int present;
  int exist;
  char driverPath[kMaxPath];
  char driverPathExt[kMaxPath];
  char pnpString[kMaxPath];
  int osDisplayIndex;
};

// Overdrive generations reported by Overdrive_Caps.
inline constexpr int kOverdriveN = 7;  // Polaris and Vega: performance levels
inline constexpr int kOverdrive8 = 8;  // Vega 20 and RDNA: minimum/maximum settings

// Overdrive N: clocks in units of 10 kHz.
struct OdnParameterRange {
  int mode;
  int min;
  int max;
  int step;
  int defaultValue;
};

struct OdnCapabilities {
  int maximumNumberOfPerformanceLevels;
  OdnParameterRange engineClockRange;
  OdnParameterRange memoryClockRange;
  OdnParameterRange vddcRange;
  OdnParameterRange power;
  OdnParameterRange powerTuneTemperature;
  OdnParameterRange fanTemperature;
  OdnParameterRange fanSpeed;
  OdnParameterRange minimumPerformanceClock;
};

struct OdnPerformanceLevel {
  int clock;
  int vddc;
  int enabled;
};

// Variable length: `size` counts the header and all levels.
struct OdnPerformanceLevels {
  int size;
  int mode;
  int numberOfPerformanceLevels;
  OdnPerformanceLevel levels[1];
};

// OdnPerformanceLevels::mode
inline constexpr int kOdnCurrent = 0;
inline constexpr int kOdnDefault = 1;
inline constexpr int kOdnAuto = 2;
inline constexpr int kOdnManual = 3;

// Overdrive 8: settings in MHz, addressed by feature index.
inline constexpr int kOd8GfxClockMax = 0;
inline constexpr int kOd8GfxClockMin = 1;
inline constexpr int kOd8MemoryClockMax = 8;
// Capability bits of Overdrive 8.
inline constexpr int kOd8GfxClockLimits = 1 << 0;
inline constexpr int kOd8MemoryClockLimit = 1 << 2;

struct Od8SingleInitSetting {
  int featureId;
  int defaultValue;
  int minValue;
  int maxValue;
};

struct Od8SingleSetSetting {
  int value;
  int requested;
  int reset;
};

// Variable length: `count` entries follow.
struct Od8SetSetting {
  int count;
  Od8SingleSetSetting settings[1];
};

struct Od8CurrentSetting {
  int count;
  int settings[1];
};

extern "C" {
using MainControlCreate = int(__stdcall*)(AllocateCallback, int enumConnectedAdapters, Context*);
using MainControlDestroy = int(__stdcall*)(Context);
using AdapterCountGet = int(__stdcall*)(Context, int* count);
using AdapterInfoGet = int(__stdcall*)(Context, AdapterInfo* infos, int bytes);
using OverdriveCaps = int(__stdcall*)(Context, int adapter, int* supported, int* enabled,
                                      int* version);
using OdnCapabilitiesGet = int(__stdcall*)(Context, int adapter, OdnCapabilities*);
using OdnClocksGet = int(__stdcall*)(Context, int adapter, OdnPerformanceLevels*);
using OdnClocksSet = int(__stdcall*)(Context, int adapter, OdnPerformanceLevels*);
using Od8InitSettingGet = int(__stdcall*)(Context, int adapter, int* capabilities,
                                          int* numberOfFeatures, Od8SingleInitSetting** list);
using Od8CurrentSettingGet = int(__stdcall*)(Context, int adapter, int* numberOfFeatures,
                                             int** list);
using Od8SettingSet = int(__stdcall*)(Context, int adapter, Od8SetSetting*, Od8CurrentSetting*);
}

// Exported names.
inline constexpr char kMainControlCreate[] = "ADL2_Main_Control_Create";
inline constexpr char kMainControlDestroy[] = "ADL2_Main_Control_Destroy";
inline constexpr char kAdapterCountGet[] = "ADL2_Adapter_NumberOfAdapters_Get";
inline constexpr char kAdapterInfoGet[] = "ADL2_Adapter_AdapterInfo_Get";
inline constexpr char kOverdriveCaps[] = "ADL2_Overdrive_Caps";
inline constexpr char kOdnCapabilitiesGet[] = "ADL2_OverdriveN_Capabilities_Get";
inline constexpr char kOdnSystemClocksGet[] = "ADL2_OverdriveN_SystemClocks_Get";
inline constexpr char kOdnSystemClocksSet[] = "ADL2_OverdriveN_SystemClocks_Set";
inline constexpr char kOdnMemoryClocksGet[] = "ADL2_OverdriveN_MemoryClocks_Get";
inline constexpr char kOdnMemoryClocksSet[] = "ADL2_OverdriveN_MemoryClocks_Set";
inline constexpr char kOd8InitSettingGet[] = "ADL2_Overdrive8_Init_SettingX2_Get";
inline constexpr char kOd8CurrentSettingGet[] = "ADL2_Overdrive8_Current_SettingX2_Get";
inline constexpr char kOd8SettingSet[] = "ADL2_Overdrive8_Setting_Set";

}  // namespace adl
