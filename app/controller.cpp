#include "app/controller.h"

#include "app/log.h"
#include "app/product.h"
#include "resources/resource_ids.h"

namespace {

std::atomic<CVantreloquinDlg*> theController{nullptr};

constexpr std::uint32_t kMaxWorkers = 1000;
constexpr std::uintptr_t kHousekeepingTimer = 1;

}  // namespace

CVantreloquinDlg* TheController() {
  return theController.load();
}

CVantreloquinDlg::CVantreloquinDlg(WindowHost& window, TimerResolution& timerResolution,
                                   ModalGuard& modalGuard)
    : window_(window), timerResolution_(timerResolution), modalGuard_(modalGuard) {
  SetProcessLog(&logViewer.book());
  modalGuard_.SetWindowEnabler([this](bool enabled) { window_.Enable(enabled); });
  theController.store(this);
}

CVantreloquinDlg::~CVantreloquinDlg() noexcept {
  workers.StopAll();
  theController.store(nullptr);
  modalGuard_.SetWindowEnabler(nullptr);
  SetProcessLog(nullptr);
}

bool CVantreloquinDlg::RunStartupSequence() {
  modalGuard_.SetBusy(true);

  window_.SetIcons(IDI_CLOCK_FREE);
  workers.SetMaxWorkers(kMaxWorkers);

  if (!timerResolution_.Request()) {
    Log(u"Failed to set appropriate timer resolution...");
  }
  window_.SetTitle(std::u16string(kControllerTitlePrefix) + std::u16string(kProductVersion));
  // The housekeeping timer's work runs once at once.
  window_.Post(ui::kTimerMessage, kHousekeepingTimer, 0);

  initialised = true;
  modalGuard_.SetBusy(false);
  return true;
}

void CVantreloquinDlg::ShutdownProgram() {
  Log(u"Shutting down");
  workers.StopAll();
  window_.EndModalRun();
}

void CVantreloquinDlg::OnDestroy() {
  workers.StopAll();
}
