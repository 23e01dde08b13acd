// A stand-in for the AMD Display Library (atiadlxx.dll) that the tests put
// into the system folder. It reports the GPUs of a configuration file, keeps
// their clock settings in memory, and appends every call to a record file.
//
// The file named by VT_ADL_STANDIN holds one line per GPU or failure:
//   gpu <name>;bus=3;outputs=2;vendor=4098;od=7;core=300,600,1366;
//       coreRange=300,1500;memory=300,2000;memoryRange=300,2250
//   fail <export name> <code> [<times>]
//   crash <export name> <nth call>
// For Overdrive N (od=7) core and memory list the levels in MHz; for
// Overdrive 8 (od=8) core is "<default minimum>,<default maximum>" and memory
// the default memory maximum. Calls go to "<file>.calls", one line each.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "helpers/adl_api_win.h"

namespace {

struct Gpu {
  std::string name;
  int bus = 0;
  int outputs = 1;
  int vendor = adl::kAmdVendorId;
  int overdrive = adl::kOverdriveN;
  std::vector<int> core, memory;  // MHz
  adl::OdnParameterRange coreRange{}, memoryRange{};
  // Overdrive N: levels in force, in units of 10 kHz, and the control mode.
  std::vector<adl::OdnPerformanceLevel> coreNow, memoryNow;
  int coreMode = adl::kOdnAuto, memoryMode = adl::kOdnAuto;
  // Overdrive 8: the value of each feature.
  std::vector<int> od8Now;
};

constexpr int kOd8Features = 20;

// Recursive: a crash handler in the helper may call back in while a call
// that crashed still holds it.
std::recursive_mutex g_lock;
std::vector<Gpu> g_gpus;
std::vector<int> g_adapters;                            // adapter index -> GPU
std::map<std::string, std::pair<int, int>> g_failures;  // export -> code, times left
std::map<std::string, int> g_crashes;                   // export -> calls left before the crash
std::string g_record;
adl::AllocateCallback g_allocate = nullptr;

std::vector<int> Numbers(const std::string& text) {
  std::vector<int> numbers;
  std::stringstream stream(text);
  std::string item;
  while (std::getline(stream, item, ',')) {
    numbers.push_back(std::atoi(item.c_str()));
  }
  return numbers;
}

std::vector<adl::OdnPerformanceLevel> DefaultLevels(const std::vector<int>& clocks) {
  std::vector<adl::OdnPerformanceLevel> levels;
  for (int clock : clocks) {
    levels.push_back({clock * 100, 900, 1});
  }
  return levels;
}

std::vector<int> Od8Defaults(const Gpu& gpu) {
  std::vector<int> values(kOd8Features, 0);
  values[adl::kOd8GfxClockMin] = gpu.core.size() > 0 ? gpu.core[0] : 0;
  values[adl::kOd8GfxClockMax] = gpu.core.size() > 1 ? gpu.core[1] : 0;
  values[adl::kOd8MemoryClockMax] = gpu.memory.empty() ? 0 : gpu.memory[0];
  return values;
}

void LoadConfiguration() {
  g_gpus.clear();
  g_adapters.clear();
  g_failures.clear();
  g_crashes.clear();
  char path[MAX_PATH] = {};
  if (!GetEnvironmentVariableA("VT_ADL_STANDIN", path, MAX_PATH)) {
    return;
  }
  g_record = std::string(path) + ".calls";
  std::ifstream file(path);
  std::string line;
  while (std::getline(file, line)) {
    if (line.rfind("fail ", 0) == 0) {
      std::stringstream words(line.substr(5));
      std::string name;
      int code = -1;
      int times = 1000000;
      words >> name >> code >> times;
      g_failures[name] = {code, times};
      continue;
    }
    if (line.rfind("crash ", 0) == 0) {
      std::stringstream words(line.substr(6));
      std::string name;
      int nth = 1;
      words >> name >> nth;
      g_crashes[name] = nth;
      continue;
    }
    if (line.rfind("gpu ", 0) != 0) {
      continue;
    }
    std::stringstream fields(line.substr(4));
    Gpu gpu;
    std::getline(fields, gpu.name, ';');
    std::string field;
    while (std::getline(fields, field, ';')) {
      const std::string key = field.substr(0, field.find('='));
      const std::string value = field.substr(field.find('=') + 1);
      const std::vector<int> numbers = Numbers(value);
      if (key == "bus")
        gpu.bus = numbers.at(0);
      if (key == "outputs")
        gpu.outputs = numbers.at(0);
      if (key == "vendor")
        gpu.vendor = numbers.at(0);
      if (key == "od")
        gpu.overdrive = numbers.at(0);
      if (key == "core")
        gpu.core = numbers;
      if (key == "memory")
        gpu.memory = numbers;
      if (key == "coreRange")
        gpu.coreRange = {0, numbers.at(0), numbers.at(1), 1, 0};
      if (key == "memoryRange")
        gpu.memoryRange = {0, numbers.at(0), numbers.at(1), 1, 0};
    }
    gpu.coreNow = DefaultLevels(gpu.core);
    gpu.memoryNow = DefaultLevels(gpu.memory);
    gpu.od8Now = Od8Defaults(gpu);
    for (int i = 0; i < gpu.outputs; ++i) {
      g_adapters.push_back(static_cast<int>(g_gpus.size()));
    }
    g_gpus.push_back(gpu);
  }
}

void Record(const std::string& line) {
  if (g_record.empty()) {
    return;
  }
  if (FILE* file = std::fopen(g_record.c_str(), "ab")) {
    std::fprintf(file, "%s\n", line.c_str());
    std::fclose(file);
  }
}

// The configured failure of an export, counted down; 0 when it succeeds.
// A configured crash is a write through a null pointer, as a broken driver
// would make.
int Failure(const std::string& name) {
  auto crash = g_crashes.find(name);
  if (crash != g_crashes.end() && --crash->second == 0) {
    Record(name + " crashes");
    g_crashes.erase(crash);
    *static_cast<volatile int*>(nullptr) = 1;
  }
  auto found = g_failures.find(name);
  if (found == g_failures.end() || found->second.second <= 0) {
    return adl::kOk;
  }
  --found->second.second;
  return found->second.first;
}

Gpu* GpuAt(int adapter) {
  if (adapter < 0 || adapter >= static_cast<int>(g_adapters.size())) {
    return nullptr;
  }
  return &g_gpus[static_cast<std::size_t>(g_adapters[static_cast<std::size_t>(adapter)])];
}

// Records the call with the GPU's bus and details, and gives its result.
int Call(const std::string& name, Gpu* gpu, const std::string& details, int result) {
  std::string line = name;
  if (gpu) {
    line += " bus=" + std::to_string(gpu->bus);
  }
  if (!details.empty()) {
    line += " " + details;
  }
  if (result != adl::kOk) {
    line += " -> " + std::to_string(result);
  }
  Record(line);
  return result;
}

std::string Describe(const adl::OdnPerformanceLevel* levels, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    text += (i ? "," : "") + std::to_string(levels[i].clock / 100) + ":" +
            std::to_string(levels[i].enabled);
  }
  return text;
}

int GetLevels(const char* name, int adapter, adl::OdnPerformanceLevels* levels, bool core) {
  std::lock_guard<std::recursive_mutex> lock(g_lock);
  Gpu* gpu = GpuAt(adapter);
  const int mode = levels ? levels->mode : -1;
  int result = Failure(name);
  if (result == adl::kOk && (!gpu || gpu->overdrive != adl::kOverdriveN)) {
    result = adl::kNotSupported;
  }
  if (result == adl::kOk) {
    const std::vector<adl::OdnPerformanceLevel> found =
        mode == adl::kOdnDefault ? DefaultLevels(core ? gpu->core : gpu->memory)
                                 : (core ? gpu->coreNow : gpu->memoryNow);
    const int room = (levels->size - 12) / static_cast<int>(sizeof(adl::OdnPerformanceLevel));
    if (room < static_cast<int>(found.size())) {
      result = adl::kInvalidParameterSize;
    } else {
      levels->mode =
          mode == adl::kOdnDefault ? adl::kOdnDefault : (core ? gpu->coreMode : gpu->memoryMode);
      levels->numberOfPerformanceLevels = static_cast<int>(found.size());
      std::copy(found.begin(), found.end(), levels->levels);
    }
  }
  return Call(name, gpu, "mode=" + std::to_string(mode), result);
}

int SetLevels(const char* name, int adapter, adl::OdnPerformanceLevels* levels, bool core) {
  std::lock_guard<std::recursive_mutex> lock(g_lock);
  Gpu* gpu = GpuAt(adapter);
  int result = Failure(name);
  if (result == adl::kOk && (!gpu || gpu->overdrive != adl::kOverdriveN)) {
    result = adl::kNotSupported;
  }
  const std::string details = "mode=" + std::to_string(levels->mode) + " levels=" +
                              Describe(levels->levels, levels->numberOfPerformanceLevels);
  if (result == adl::kOk) {
    std::vector<adl::OdnPerformanceLevel>& now = core ? gpu->coreNow : gpu->memoryNow;
    int& mode = core ? gpu->coreMode : gpu->memoryMode;
    if (levels->mode == adl::kOdnDefault) {
      now = DefaultLevels(core ? gpu->core : gpu->memory);
      mode = adl::kOdnAuto;
    } else {
      now.assign(levels->levels, levels->levels + levels->numberOfPerformanceLevels);
      mode = levels->mode;
    }
  }
  return Call(name, gpu, details, result);
}

}  // namespace

extern "C" {

__declspec(dllexport) int ADL2_Main_Control_Create(adl::AllocateCallback allocate, int,
                                                   adl::Context* context) {
  std::lock_guard<std::recursive_mutex> lock(g_lock);
  LoadConfiguration();
  g_allocate = allocate;
  *context = &g_gpus;
  return Call("ADL2_Main_Control_Create", nullptr, "", Failure("ADL2_Main_Control_Create"));
}

__declspec(dllexport) int ADL2_Main_Control_Destroy(adl::Context) {
  std::lock_guard<std::recursive_mutex> lock(g_lock);
  return Call("ADL2_Main_Control_Destroy", nullptr, "", adl::kOk);
}

__declspec(dllexport) int ADL2_Adapter_NumberOfAdapters_Get(adl::Context, int* count) {
  std::lock_guard<std::recursive_mutex> lock(g_lock);
  *count = static_cast<int>(g_adapters.size());
  return Call("ADL2_Adapter_NumberOfAdapters_Get", nullptr, "", adl::kOk);
}

__declspec(dllexport) int ADL2_Adapter_AdapterInfo_Get(adl::Context, adl::AdapterInfo* infos,
                                                       int bytes) {
  std::lock_guard<std::recursive_mutex> lock(g_lock);
  if (bytes < static_cast<int>(g_adapters.size() * sizeof(adl::AdapterInfo))) {
    return Call("ADL2_Adapter_AdapterInfo_Get", nullptr, "", adl::kInvalidParameterSize);
  }
  for (std::size_t i = 0; i < g_adapters.size(); ++i) {
    const Gpu& gpu = g_gpus[static_cast<std::size_t>(g_adapters[i])];
    adl::AdapterInfo& info = infos[i];
    std::memset(&info, 0, sizeof info);
    info.size = sizeof info;
    info.adapterIndex = static_cast<int>(i);
    info.busNumber = gpu.bus;
    info.vendorId = gpu.vendor;
    info.present = 1;
    info.exist = 1;
    std::snprintf(info.adapterName, sizeof info.adapterName, "%s", gpu.name.c_str());
    std::snprintf(info.displayName, sizeof info.displayName, "\\\\.\\DISPLAY%d",
                  static_cast<int>(i) + 1);
  }
  return Call("ADL2_Adapter_AdapterInfo_Get", nullptr, "", adl::kOk);
}

__declspec(dllexport) int ADL2_Overdrive_Caps(adl::Context, int adapter, int* supported,
                                              int* enabled, int* version) {
  std::lock_guard<std::recursive_mutex> lock(g_lock);
  Gpu* gpu = GpuAt(adapter);
  *supported = gpu ? 1 : 0;
  *enabled = gpu ? 1 : 0;
  *version = gpu ? gpu->overdrive : 0;
  return Call("ADL2_Overdrive_Caps", gpu, "", gpu ? adl::kOk : adl::kInvalidAdapterIndex);
}

__declspec(dllexport) int ADL2_OverdriveN_Capabilities_Get(adl::Context, int adapter,
                                                           adl::OdnCapabilities* caps) {
  std::lock_guard<std::recursive_mutex> lock(g_lock);
  Gpu* gpu = GpuAt(adapter);
  int result = Failure("ADL2_OverdriveN_Capabilities_Get");
  if (result == adl::kOk && (!gpu || gpu->overdrive != adl::kOverdriveN)) {
    result = adl::kNotSupported;
  }
  if (result == adl::kOk) {
    std::memset(caps, 0, sizeof *caps);
    caps->maximumNumberOfPerformanceLevels =
        static_cast<int>(std::max(gpu->core.size(), gpu->memory.size()));
    caps->engineClockRange = gpu->coreRange;
    caps->engineClockRange.min *= 100;
    caps->engineClockRange.max *= 100;
    caps->memoryClockRange = gpu->memoryRange;
    caps->memoryClockRange.min *= 100;
    caps->memoryClockRange.max *= 100;
  }
  return Call("ADL2_OverdriveN_Capabilities_Get", gpu, "", result);
}

__declspec(dllexport) int ADL2_OverdriveN_SystemClocks_Get(adl::Context, int adapter,
                                                           adl::OdnPerformanceLevels* levels) {
  return GetLevels("ADL2_OverdriveN_SystemClocks_Get", adapter, levels, true);
}
__declspec(dllexport) int ADL2_OverdriveN_SystemClocks_Set(adl::Context, int adapter,
                                                           adl::OdnPerformanceLevels* levels) {
  return SetLevels("ADL2_OverdriveN_SystemClocks_Set", adapter, levels, true);
}
__declspec(dllexport) int ADL2_OverdriveN_MemoryClocks_Get(adl::Context, int adapter,
                                                           adl::OdnPerformanceLevels* levels) {
  return GetLevels("ADL2_OverdriveN_MemoryClocks_Get", adapter, levels, false);
}
__declspec(dllexport) int ADL2_OverdriveN_MemoryClocks_Set(adl::Context, int adapter,
                                                           adl::OdnPerformanceLevels* levels) {
  return SetLevels("ADL2_OverdriveN_MemoryClocks_Set", adapter, levels, false);
}

__declspec(dllexport) int ADL2_Overdrive8_Init_SettingX2_Get(adl::Context, int adapter,
                                                             int* capabilities, int* count,
                                                             adl::Od8SingleInitSetting** list) {
  std::lock_guard<std::recursive_mutex> lock(g_lock);
  Gpu* gpu = GpuAt(adapter);
  int result = Failure("ADL2_Overdrive8_Init_SettingX2_Get");
  if (result == adl::kOk && (!gpu || gpu->overdrive != adl::kOverdrive8)) {
    result = adl::kNotSupported;
  }
  if (result == adl::kOk) {
    *capabilities = adl::kOd8GfxClockLimits | adl::kOd8MemoryClockLimit;
    *count = kOd8Features;
    auto* settings = static_cast<adl::Od8SingleInitSetting*>(
        g_allocate(kOd8Features * static_cast<int>(sizeof(adl::Od8SingleInitSetting))));
    const std::vector<int> defaults = Od8Defaults(*gpu);
    for (int i = 0; i < kOd8Features; ++i) {
      settings[i] = {i, defaults[static_cast<std::size_t>(i)], 0, 0};
    }
    settings[adl::kOd8GfxClockMin].minValue = gpu->coreRange.min;
    settings[adl::kOd8GfxClockMin].maxValue = gpu->coreRange.max;
    settings[adl::kOd8GfxClockMax].minValue = gpu->coreRange.min;
    settings[adl::kOd8GfxClockMax].maxValue = gpu->coreRange.max;
    settings[adl::kOd8MemoryClockMax].minValue = gpu->memoryRange.min;
    settings[adl::kOd8MemoryClockMax].maxValue = gpu->memoryRange.max;
    *list = settings;
  }
  return Call("ADL2_Overdrive8_Init_SettingX2_Get", gpu, "", result);
}

__declspec(dllexport) int ADL2_Overdrive8_Current_SettingX2_Get(adl::Context, int adapter,
                                                                int* count, int** list) {
  std::lock_guard<std::recursive_mutex> lock(g_lock);
  Gpu* gpu = GpuAt(adapter);
  int result = Failure("ADL2_Overdrive8_Current_SettingX2_Get");
  if (result == adl::kOk && (!gpu || gpu->overdrive != adl::kOverdrive8)) {
    result = adl::kNotSupported;
  }
  if (result == adl::kOk) {
    *count = kOd8Features;
    auto* values = static_cast<int*>(g_allocate(kOd8Features * static_cast<int>(sizeof(int))));
    std::copy(gpu->od8Now.begin(), gpu->od8Now.end(), values);
    *list = values;
  }
  return Call("ADL2_Overdrive8_Current_SettingX2_Get", gpu, "", result);
}

__declspec(dllexport) int ADL2_Overdrive8_Setting_Set(adl::Context, int adapter,
                                                      adl::Od8SetSetting* set,
                                                      adl::Od8CurrentSetting* current) {
  std::lock_guard<std::recursive_mutex> lock(g_lock);
  Gpu* gpu = GpuAt(adapter);
  int result = Failure("ADL2_Overdrive8_Setting_Set");
  if (result == adl::kOk && (!gpu || gpu->overdrive != adl::kOverdrive8)) {
    result = adl::kNotSupported;
  }
  if (result == adl::kOk && (set->count != kOd8Features || current->count != kOd8Features)) {
    result = adl::kInvalidParameterSize;
  }
  std::string details;
  for (int i = 0; i < std::min(set->count, kOd8Features); ++i) {
    const adl::Od8SingleSetSetting& entry = set->settings[i];
    if (entry.requested) {
      details += (details.empty() ? "" : " ") + std::to_string(i) + "=" +
                 (entry.reset ? std::string("reset") : std::to_string(entry.value));
    }
  }
  if (result == adl::kOk) {
    const std::vector<int> defaults = Od8Defaults(*gpu);
    for (int i = 0; i < kOd8Features; ++i) {
      const adl::Od8SingleSetSetting& entry = set->settings[i];
      if (entry.requested) {
        gpu->od8Now[static_cast<std::size_t>(i)] =
            entry.reset ? defaults[static_cast<std::size_t>(i)] : entry.value;
      }
      current->settings[i] = gpu->od8Now[static_cast<std::size_t>(i)];
    }
  }
  return Call("ADL2_Overdrive8_Setting_Set", gpu, details, result);
}

}  // extern "C"
