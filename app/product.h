// Names and version of the product.
#pragma once

#include <string_view>

inline constexpr std::u16string_view kAppName = u"Vantreloquin";
inline constexpr std::u16string_view kProductVersion = u"1.2-6.5";
// The controller's window text is this, followed by the version.
inline constexpr std::u16string_view kControllerTitlePrefix = u"Ostrafelmoria Vantreloquin ";
