// The settings pages' periodic and per-command work: the GPU picker's poll
// of the helper's table when nothing changed (timer 2, four times a second),
// and a rules list rebuild after a command.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "fakes/fake_named_mutexes.h"
#include "fakes/fake_prompts.h"
#include "settings_ui/gpu_picker.h"
#include "settings_ui/rules_editor_tab_model.h"

namespace {

struct NoDialogs : RuleEditDialogs {
  std::optional<RuleEditResult> EditRule(const RuleEditRequest&) override { return std::nullopt; }
  std::optional<std::pair<std::u16string, std::u16string>> AskBulkPriority() override {
    return std::nullopt;
  }
};

void BM_GpuPollUnchanged(benchmark::State& state) {
  CGeneralSettings_ConfigFile settings;
  CriticalSection_Wrapper settingsLock{CriticalSection_Wrapper::Form::ReaderWriter};
  std::vector<std::uint8_t> memory(block::kSize);
  FakeNamedMutexes mutexes;
  SharedBlock sharedBlock{memory.data(), mutexes};
  WriteGpuTable(memory.data() + block::kAvailableGpus, {u"Radeon RX 480", u"Radeon R9 390"});
  FakePrompts prompts;
  GpuPickerModel picker(settings, settingsLock, sharedBlock, prompts);
  picker.Initialize();
  picker.RefreshDetectedGpus();  // takes the table over once
  for (auto _ : state) {
    benchmark::DoNotOptimize(picker.RefreshDetectedGpus());
  }
}
BENCHMARK(BM_GpuPollUnchanged);

void BM_RulesListRefresh(benchmark::State& state) {
  CGeneralSettings_ConfigFile settings;
  settings.DecodeRules();
  for (int i = 0; i < state.range(0); ++i) {
    AddRule(settings.Rules(),
            u"game" + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)) +
                std::u16string(1, static_cast<char16_t>(u'a' + i / 26)) + u".exe",
            static_cast<ActionType>(i % 9), true, static_cast<std::uint32_t>(i % 4));
  }
  settings.EncodeRules();
  CriticalSection_Wrapper settingsLock{CriticalSection_Wrapper::Form::ReaderWriter};
  FakePrompts prompts;
  ModalGuard guard;
  NoDialogs dialogs;
  RulesEditorTabModel model{RulesEditorSources{settings, settingsLock, prompts, guard, dialogs}};
  for (auto _ : state) {
    model.RefreshRuleList(u"gameaa.exe");
    benchmark::DoNotOptimize(model.rows().data());
  }
}
BENCHMARK(BM_RulesListRefresh)->Arg(10)->Arg(100);

}  // namespace
