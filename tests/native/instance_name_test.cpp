#include "app/instance_name.h"

#include <gtest/gtest.h>

TEST(InstanceNameTest, AccountAndDomainWithBlanksAndFailedLookup) {
  struct Case {
    const char16_t* account;
    const char16_t* domain;
    const char16_t* expected;
  };
  const Case cases[] = {
      {u"alice", u"HOME-PC", u"VANTRELOQUIN-HG55FF8B-alice_HOME-PC"},
      {u"Jane Doe", u"MY DOMAIN", u"VANTRELOQUIN-HG55FF8B-Jane_Doe_MY_DOMAIN"},
      {u"tab\tuser", u"", u"VANTRELOQUIN-HG55FF8B-tab_user_"},
      {u"", u"", u"VANTRELOQUIN-HG55FF8B-"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ComposeInstanceName(c.account, c.domain), c.expected);
  }
}
