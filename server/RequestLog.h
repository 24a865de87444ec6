#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The server's log lines: "key=value" fields separated by single spaces. Every
// value that came from a client goes through LogValue, so no client can start a
// new line, add a field or hide one.

// The value bare when it holds only plain printable characters, otherwise in
// double quotes with '"', '\' and every control or non-ASCII byte as an escape
// (\" \\ \xHH). Empty text is "".
std::string LogValue(std::string_view text);
// A request target for the log: the value of each "inf" query key dropped (it
// carries the player's whole result), cut to a sane length.
std::string LoggedTarget(std::string_view rawTarget);
// "YYYY-MM-DDTHH:MM:SSZ" of a Unix time.
std::string LogTimestamp(int64_t unixSeconds);
