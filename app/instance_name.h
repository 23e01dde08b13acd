// The name of the mutex that lets one instance run per user account.
#pragma once

#include <string>
#include <string_view>

inline constexpr std::u16string_view kInstanceNamePrefix = u"VANTRELOQUIN-HG55FF8B-";

// The prefix followed by account and domain joined by an underscore, with
// blanks and tabs turned into underscores. An unknown account (both parts
// empty) gives the prefix alone.
std::u16string ComposeInstanceName(std::u16string_view account, std::u16string_view domain);
