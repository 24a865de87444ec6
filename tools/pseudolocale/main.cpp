// The pseudo-language en@pseudo: a msgfilter program that turns one English
// text (standard input) into the same text with accented letters, each line
// 40 % longer, so that a layout too tight for a long language shows up in
// English before a translator meets it. printf directives stay as they are.

#include <cctype>
#include <cmath>
#include <iostream>
#include <iterator>
#include <string>

namespace {

// The accented stand-in of an ASCII letter, or nothing.
const char* Accented(char c) {
  switch (c) {
    case 'a':
      return "\u00e1";
    case 'c':
      return "\u00e7";
    case 'e':
      return "\u00e9";
    case 'i':
      return "\u00ed";
    case 'n':
      return "\u00f1";
    case 'o':
      return "\u00f6";
    case 'u':
      return "\u00fc";
    case 'y':
      return "\u00fd";
    case 'A':
      return "\u00c1";
    case 'C':
      return "\u00c7";
    case 'E':
      return "\u00c9";
    case 'I':
      return "\u00cd";
    case 'N':
      return "\u00d1";
    case 'O':
      return "\u00d6";
    case 'U':
      return "\u00dc";
    case 'Y':
      return "\u00dd";
    default:
      return nullptr;
  }
}

std::string Line(const std::string& in) {
  std::string out;
  size_t letters = 0;
  for (size_t i = 0; i < in.size(); ++i) {
    const char c = in[i];
    if (c == '%') {
      // A directive: flags, width, precision, length, conversion.
      const size_t end = in.find_first_not_of("0123456789$#+-. 'lhzjt", i + 1);
      const size_t stop = end == std::string::npos ? in.size() : end + 1;
      out += in.substr(i, stop - i);
      i = stop - 1;
      ++letters;
      continue;
    }
    if ((static_cast<unsigned char>(c) & 0xC0u) != 0x80u) ++letters;
    const char* accented = Accented(c);
    out += accented != nullptr ? accented : std::string(1, c);
  }
  static const char* const kFill[] = {"\u00e0", "\u00ea", "\u00ee", "\u00f5", "\u00fb"};
  const auto extra = static_cast<size_t>(std::ceil(static_cast<double>(letters) * 0.4));
  for (size_t k = 0; k < extra; ++k) out += kFill[k % 5];
  return out;
}

}  // namespace

int main() {
  const std::string text{std::istreambuf_iterator<char>(std::cin),
                         std::istreambuf_iterator<char>()};
  std::string out;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t end = text.find('\n', start);
    const std::string line =
        text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    out += line.empty() ? line : Line(line);
    if (end == std::string::npos) break;
    out += '\n';
    start = end + 1;
  }
  std::cout << out;
  return 0;
}
