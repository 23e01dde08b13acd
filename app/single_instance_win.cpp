#include "app/single_instance_win.h"

#include <memory>
#include <vector>

#include "app/instance_name.h"
#include "base/wide_win.h"

namespace {

constexpr DWORD kNameCapacity = 256;

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

// Account and domain of the process token's user; empty when unknown.
void LookupAccount(std::u16string& account, std::u16string& domain) {
  UniqueHandle process(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, GetCurrentProcessId()));
  if (!process) {
    return;
  }
  HANDLE rawToken = nullptr;
  if (!OpenProcessToken(process.get(), TOKEN_QUERY, &rawToken)) {
    return;
  }
  UniqueHandle token(rawToken);
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  if (size == 0) {
    return;
  }
  std::vector<BYTE> buffer(size);
  if (!GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) {
    return;
  }
  const auto* user = reinterpret_cast<const TOKEN_USER*>(buffer.data());
  wchar_t name[kNameCapacity] = {};
  wchar_t domainName[kNameCapacity] = {};
  DWORD nameLength = kNameCapacity;
  DWORD domainLength = kNameCapacity;
  SID_NAME_USE use;
  if (!LookupAccountSidW(nullptr, user->User.Sid, name, &nameLength, domainName, &domainLength,
                         &use)) {
    return;
  }
  account = FromWide(name);
  domain = FromWide(domainName);
}

}  // namespace

std::u16string CurrentInstanceName() {
  std::u16string account;
  std::u16string domain;
  LookupAccount(account, domain);
  return ComposeInstanceName(account, domain);
}

SingleInstanceGuard::SingleInstanceGuard(const std::u16string& instanceName) {
  mutex_ = CreateMutexW(nullptr, TRUE, AsWide(instanceName));
  anotherInstanceRuns_ = GetLastError() == ERROR_ALREADY_EXISTS;
  if (mutex_) {
    // Only the name matters; it lives as long as this process keeps the handle.
    ReleaseMutex(mutex_);
  }
}

SingleInstanceGuard::~SingleInstanceGuard() {
  if (mutex_) {
    CloseHandle(mutex_);
  }
}
