// The launch token a helper must show on its command line.
#pragma once

#include <string>
#include <string_view>

inline constexpr std::size_t kTokenLength = 256;
// 62 characters: "Q" occurs twice and "Y" not at all.
inline constexpr std::u16string_view kTokenAlphabet =
    u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXQZ1234567890";

// A new token, drawn after seeding the runtime generator with the time in
// seconds (tokens of the same second are equal; nothing relies on them
// differing).
std::u16string RandomToken();
