// Brings the helpers' log text into the application's log: the helpers
// append to the log area of the shared block, the listener drains it five
// times a second.
#pragma once

#include "base/event.h"
#include "ipc/shared_block.h"

class IpcListener {
 public:
  explicit IpcListener(SharedBlock& sharedBlock) : sharedBlock_(sharedBlock) {}

  // The job: a pass every 200 ms until the stop signal is set.
  void Run(Event& stopSignal);

  // One pass: when text is waiting, takes it under the log mutex, resets the
  // length and logs it. A length beyond the area counts as the whole area.
  void DrainOnce();

 private:
  SharedBlock& sharedBlock_;
};
