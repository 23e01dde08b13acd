#include "app/instance_name.h"

std::u16string ComposeInstanceName(std::u16string_view account, std::u16string_view domain) {
  std::u16string suffix(account);
  suffix += u'_';
  suffix += domain;
  for (char16_t& c : suffix) {
    if (c == u' ' || c == u'\t') {
      c = u'_';
    }
  }
  if (suffix == u"_") {
    suffix.clear();
  }
  return std::u16string(kInstanceNamePrefix) + suffix;
}
