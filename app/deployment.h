// Values that belong to a deployment of the product rather than to its code.
#pragma once

#include <cstdint>
#include <string_view>

inline constexpr std::u16string_view kSupportEmail = u"support@ostrafelmoria.example";
inline constexpr std::u16string_view kSupportServerHost = u"crashes.ostrafelmoria.example";
inline constexpr std::uint16_t kSupportServerPort = 10000;
inline constexpr std::u16string_view kSupportPage =
    u"https://forum.ostrafelmoria.example/vantreloquin/support";

// The documentation site (also the maker's web site) and the partner site;
// plain HTTP addresses without a trailing slash. The tray menu shows the two
// web sites as captions too (resources/vantreloquin.rc).
inline constexpr std::u16string_view kDocumentationSite = u"http://www.ostrafelmoria.example";
inline constexpr std::u16string_view kMakerWebsite = u"http://www.ostrafelmoria.example";
inline constexpr std::u16string_view kPartnerWebsite = u"http://www.partner.example";

// The update server that publishes the version file and the installers.
inline constexpr std::u16string_view kUpdateServerHost = u"www.ostrafelmoria.example";
