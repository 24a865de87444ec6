#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TFontSet;
class TImagePack;

// Every caption the pack's pictures carry, measured with the real font in the
// language gettext is set to. A caption fits when the layout's size, shrunk
// at most to kMinimumShare of it, holds it inside its rectangle. One line per
// caption that does not, naming the language, the text and the rectangle.
inline constexpr double kMinimumShare = 0.6;
std::vector<std::string> CheckCaptionFit(const TFontSet& fonts, const std::string& language);
// The caption with the least room in the current language, as one line
// (its text, size and rectangle), for the forge's --fit-report.
std::string TightestCaption(const TFontSet& fonts, const std::string& language);

// The pack of one language: the English pack's layout, with every picture
// that is the same as the English one left empty (a zero length), so the game
// takes the English picture for it.
std::vector<uint8_t> LanguagePackBytes(const TImagePack& english, const TImagePack& language);
