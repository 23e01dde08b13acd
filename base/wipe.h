// Removes a text that was shown to the user from memory.
#pragma once

#include <cstddef>
#include <string>

// Overwrites every character with a pseudo-random value: the low byte of the
// next CRT random value, taken as a signed 8-bit number widened to 16 bits.
void ScrambleChars(char16_t* chars, std::size_t count);

// Scrambles the characters, then empties the string.
void Wipe(std::u16string& text);
