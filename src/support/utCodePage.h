// Conversion of 8-bit texts for display: a text that is valid UTF-8 is shown
// as UTF-8, any other as Windows-1252.
#pragma once

#include <string>
#include <string_view>

bool IsValidUtf8(std::string_view text);
std::string Windows1252ToUtf8(std::string_view text);
// The text as UTF-8 for display: unchanged when valid UTF-8, otherwise read
// as Windows-1252.
std::string DisplayTextToUtf8(std::string_view text);
