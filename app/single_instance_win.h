// One instance per user account: a named mutex with the account in its name.
#pragma once

#include <windows.h>

#include <string>

// The instance name of the account that runs this process.
std::u16string CurrentInstanceName();

class SingleInstanceGuard {
 public:
  explicit SingleInstanceGuard(const std::u16string& instanceName);
  ~SingleInstanceGuard();
  SingleInstanceGuard(const SingleInstanceGuard&) = delete;
  SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

  // True when another process of the account already holds the name.
  bool AnotherInstanceRuns() const { return anotherInstanceRuns_; }

 private:
  HANDLE mutex_ = nullptr;
  bool anotherInstanceRuns_ = false;
};
