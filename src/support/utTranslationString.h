// A translatable message: index 0 is the message's name in a language file,
// index 1 its default (English) text.
#pragma once

#include <array>
#include <string_view>

using TutTranslationString = std::array<std::string_view, 2>;
