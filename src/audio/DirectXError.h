#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

// Errors of the sound device layer. Messages are format strings with one
// "%s" argument, e.g. "%s cannot be made" with "Sound Buffer".
class EDirectXError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
class EDirectSoundError : public EDirectXError {
 public:
  using EDirectXError::EDirectXError;
};
class EDirectSoundBufferError : public EDirectSoundError {
 public:
  using EDirectSoundError::EDirectSoundError;
};
class EDXSoundError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Replaces the first "%s" of `format` with `argument`.
inline std::string FormatDXMessage(std::string_view format, std::string_view argument) {
  std::string text(format);
  const size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, argument);
  return text;
}

inline constexpr std::string_view kNotMade = "%s not made";
inline constexpr std::string_view kCannotBeInitialized = "%s cannot be initialized";
inline constexpr std::string_view kCannotBeMade = "%s cannot be made";
inline constexpr std::string_view kCannotBeLocked = "%s cannot be locked";
