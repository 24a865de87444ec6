#pragma once

#include "shell/Form.h"

// The one helper the main form befriends: a read-only look at the widgets for
// tests whose rule has no cheaper visible effect (a caption, a cursor, a
// flag), and the image slots, to stand in for what no event can do on Linux:
// a surface whose memory the system took away.
struct TFormProbe {
  static const TMenuWidgets& Widgets(const TForm1& form) { return *form.Widgets; }
  static TImageSlots& Images(TForm1& form) { return form.Images; }
};
