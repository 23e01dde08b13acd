#include "app/process_access_policy_win.h"

#include <gtest/gtest.h>

#include <aclapi.h>

#include <vector>

namespace {

// The rights the process's access list allows the current user.
ACCESS_MASK AllowedRightsOfCurrentUser() {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetSecurityInfo(GetCurrentProcess(), SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                      nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS ||
      !dacl) {
    ADD_FAILURE() << "cannot read the process access list";
    return 0;
  }
  HANDLE token = nullptr;
  OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<BYTE> buffer(size);
  GetTokenInformation(token, TokenUser, buffer.data(), size, &size);
  CloseHandle(token);
  PSID user = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;

  ACCESS_MASK allowed = 0;
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    void* ace = nullptr;
    if (GetAce(dacl, i, &ace) &&
        static_cast<ACE_HEADER*>(ace)->AceType == ACCESS_ALLOWED_ACE_TYPE) {
      auto* allowedAce = static_cast<ACCESS_ALLOWED_ACE*>(ace);
      if (EqualSid(reinterpret_cast<PSID>(&allowedAce->SidStart), user)) {
        allowed |= allowedAce->Mask;
      }
    }
  }
  LocalFree(descriptor);
  return allowed;
}

}  // namespace

TEST(ProcessAccessPolicyTest, UserMayWaitAndQueryButNotEndOrTouchMemory) {
  ApplyProcessAccessPolicy();
  const ACCESS_MASK rights = AllowedRightsOfCurrentUser();
  EXPECT_EQ(rights & SYNCHRONIZE, static_cast<ACCESS_MASK>(SYNCHRONIZE));
  EXPECT_EQ(rights & PROCESS_QUERY_INFORMATION,
            static_cast<ACCESS_MASK>(PROCESS_QUERY_INFORMATION));
  const ACCESS_MASK deniedRights[] = {
      PROCESS_TERMINATE,     PROCESS_VM_READ,    PROCESS_VM_WRITE, PROCESS_VM_OPERATION,
      PROCESS_CREATE_THREAD, PROCESS_DUP_HANDLE, WRITE_DAC};
  for (ACCESS_MASK denied : deniedRights) {
    EXPECT_EQ(rights & denied, 0u) << "right 0x" << std::hex << denied;
  }
}
