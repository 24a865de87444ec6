#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The result record and its 5-bit text encoding, shared by the game and the
// score server so that both sides use one alphabet and one key letter.

// 32 distinct characters: 23 upper-case letters (no I, O, Q) and 9 digits (no 0).
inline constexpr std::string_view kResultAlphabet = "ABCDEFGHJKLMNPRSTUVWXYZ123456789";
// The fixed letter of the record's "|key=" field.
inline constexpr char kResultKeyLetter = 'T';

// The answer of the first request carries the challenge p as its fifth
// "|"-separated field: the text between the fourth and fifth "|", or empty
// when the answer holds fewer than five "|".
std::string ExtractChallenge(std::string_view answer);

// "type=0|name=..|score=..|key=..|p=..|add=..|z=" padded with "0" to a multiple
// of 5 characters. Values are not escaped.
std::string BuildResultRecord(std::string_view name, int32_t score, std::string_view p,
                              std::string_view playerName);

// Every byte as 8 bits (most significant first), prefixed with zero bits up to a
// multiple of 5, each 5-bit group written as its alphabet character.
std::string EncodeResult(std::string_view record);

// The inverse of EncodeResult; nothing when a character is outside the
// alphabet or the bit count cannot come from EncodeResult.
std::optional<std::string> DecodeResult(std::string_view encoded);
