#include "widgets/DDEdit.h"

#include "graphics/Text.h"

#include <algorithm>

namespace {

char ToLowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
char ToUpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

TDDEdit::TDDEdit(const TWidgetContext& context, const TRect& bounds)
    : BoundsRect(bounds), context_(context) {}

void TDDEdit::KeyInput(char character) {
  // The width is that of the text as it would be with the character appended,
  // measured before deciding anything.
  const int32_t width = MeasureText(context_.Fonts, kFont, Text + character);
  if (character == kBackspace) {
    if (TextLength > 0 && !Text.empty()) {
      Text.pop_back();
      --TextLength;
    }
    return;
  }
  if (TextLength < kMaxLength && BoundsRect.Left + width + 5 < BoundsRect.Right) {
    Text.push_back(character);
    ++TextLength;
  }
  Caret = TextLength;
}

void TDDEdit::SetText(const std::string& text) {
  Text = text;
  TextLength = static_cast<uint8_t>(text.size());
  Caret = TextLength;
}

bool TDDEdit::Fits(const std::string& text) {
  return BoundsRect.Left + MeasureText(context_.Fonts, kFont, text) + 5 < BoundsRect.Right;
}

void TDDEdit::MoveCaret(int delta) {
  const int caret = std::clamp(Caret + delta, 0, static_cast<int>(TextLength));
  Caret = static_cast<uint8_t>(caret);
}

void TDDEdit::CycleLetter(int delta) {
  if (delta == 0) return;
  if (Caret >= TextLength || Caret >= Text.size()) {
    // A new letter; the caret stays on it so the next step changes it.
    const uint8_t at = Caret;
    KeyInput(delta > 0 ? 'A' : 'Z');
    if (TextLength > at) Caret = at;
    return;
  }
  // The next letter in that direction that keeps the name inside the field.
  const int current = ToUpperAscii(Text[Caret]) - 'A';
  const int step = delta > 0 ? 1 : -1;
  for (int i = 1; i <= 26; ++i) {
    std::string candidate = Text;
    candidate[Caret] = static_cast<char>('A' + ((current + step * i) % 26 + 26) % 26);
    if (Fits(candidate)) {
      Text = candidate;
      return;
    }
  }
}

void TDDEdit::Draw(TSurface& surface) {
  if (Focused) {
    const TSurfacePtr& frame = context_.Images.MenuImages[mnuFocusFrame];
    // A refused blit leaves the focus frame out of this frame only.
    if (frame) (void)DrawKeyed(surface, BoundsRect.Left, BoundsRect.Top, *frame);
  }

  TDeviceContext dc(context_.Fonts, surface);
  dc.SetHollowBrush();
  dc.SetPen(kDarkBlue, 3);

  // The caret changes phase on the first draw more than kBlinkMs after the last
  // change, so a field that is not drawn does not blink.
  LastTick = context_.Sys.TickCount();
  if (LastTick - BlinkTick > kBlinkMs) {
    CaretPhase = !CaretPhase;
    BlinkTick = LastTick;
  }

  dc.SetTextAlign(kTaLeft | kTaTop);
  dc.SelectFont(kFont);
  const size_t caret = Caret < Text.size() ? Caret : Text.size();
  const int32_t width = dc.TextWidth(std::string_view(Text).substr(0, caret));
  if (CaretPhase && Focused && Editing) {
    const int32_t x = BoundsRect.Left + width + 10;
    dc.MoveTo(x, BoundsRect.Top);
    dc.LineTo(x, BoundsRect.Bottom - 6);
  }

  // Letters arrive upper case; the name is kept with a capital first letter.
  for (char& c : Text) c = ToLowerAscii(c);
  if (TextLength > 0 && !Text.empty()) Text[0] = ToUpperAscii(Text[0]);

  dc.SetTextColor(kOrange);
  const size_t shown = TextLength < Text.size() ? TextLength : Text.size();
  dc.TextOut(BoundsRect.Left + 7, BoundsRect.Top - 2, std::string_view(Text).substr(0, shown));
}
