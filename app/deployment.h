// Values that belong to a deployment of the product rather than to its code.
#pragma once

#include <cstdint>
#include <string_view>

inline constexpr std::u16string_view kSupportEmail = u"support@ostrafelmoria.example";
inline constexpr std::u16string_view kSupportServerHost = u"crashes.ostrafelmoria.example";
inline constexpr std::uint16_t kSupportServerPort = 10000;
inline constexpr std::u16string_view kSupportPage =
    u"https://forum.ostrafelmoria.example/vantreloquin/support";
