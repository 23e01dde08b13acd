#include "app/process_access_policy_win.h"

#include <windows.h>

#include <aclapi.h>

#include <vector>

namespace {

// What the user's other processes may still do with this one.
constexpr DWORD kUserRights =
    SYNCHRONIZE | READ_CONTROL | PROCESS_QUERY_INFORMATION | PROCESS_QUERY_LIMITED_INFORMATION;

bool CurrentUserSid(std::vector<BYTE>& buffer, PSID& sid) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
    return false;
  }
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  buffer.resize(size);
  const bool ok = size != 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size);
  CloseHandle(token);
  if (ok) {
    sid = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
  }
  return ok;
}

}  // namespace

void ApplyProcessAccessPolicy() {
  std::vector<BYTE> userBuffer;
  PSID user = nullptr;
  if (!CurrentUserSid(userBuffer, user)) {
    return;
  }
  BYTE systemBuffer[SECURITY_MAX_SID_SIZE];
  DWORD systemSize = sizeof systemBuffer;
  PSID system = systemBuffer;
  if (!CreateWellKnownSid(WinLocalSystemSid, nullptr, system, &systemSize)) {
    return;
  }

  EXPLICIT_ACCESSW entries[2] = {};
  entries[0].grfAccessPermissions = kUserRights;
  entries[0].grfAccessMode = SET_ACCESS;
  entries[0].Trustee.TrusteeForm = TRUSTEE_IS_SID;
  entries[0].Trustee.TrusteeType = TRUSTEE_IS_USER;
  entries[0].Trustee.ptstrName = static_cast<LPWSTR>(user);
  entries[1].grfAccessPermissions = PROCESS_ALL_ACCESS;
  entries[1].grfAccessMode = SET_ACCESS;
  entries[1].Trustee.TrusteeForm = TRUSTEE_IS_SID;
  entries[1].Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
  entries[1].Trustee.ptstrName = static_cast<LPWSTR>(system);

  PACL acl = nullptr;
  if (SetEntriesInAclW(2, entries, nullptr, &acl) != ERROR_SUCCESS) {
    return;
  }
  SetSecurityInfo(GetCurrentProcess(), SE_KERNEL_OBJECT,
                  DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr,
                  acl, nullptr);
  LocalFree(acl);
}
