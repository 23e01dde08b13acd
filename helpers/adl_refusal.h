// The AMD Display Library's result codes in plain words.
#pragma once

#include <string>
#include <string_view>

// Whether the code reports success (warnings included).
inline bool AdlSucceeded(int code) {
  return code >= 0;
}

// "ADL2_Overdrive8_Setting_Set refused: the feature is not supported (-8)".
std::u16string AdlRefusal(std::u16string_view function, int code);
