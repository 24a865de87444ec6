// The high-score table's replays: rows whose game was kept are marked, and
// their replay is watched by a click on the row, by PageUp/PageDown to pick a
// row and W to watch it, or on a pad by the shoulders and X. Nothing the
// screen's own keys and buttons did changes.
#include <iostream>

#include "graphics/Text.h"
#include "settings/HiScores.h"
#include "shell/Form.h"
#include "shell/ScreenLayout.h"
#include "shell/VirtualKeys.h"

namespace {

namespace sl = screen_layout;

// The index is read again when it is older than this.
constexpr uint32_t kIndexAgeMs = 1000;

int32_t RowTop(size_t row) {
  return sl::HiScoreRow(static_cast<int32_t>(row)).Top;
}

}  // namespace

const TReplayStore::TIndex& TForm1::TableReplays() {
  const uint32_t now = Sys.TickCount();
  if (!tableReplaysRead_ || now - tableReplaysTick_ > kIndexAgeMs) {
    tableReplays_ = Replays().ReadIndex();
    tableReplaysTick_ = now;
    tableReplaysRead_ = true;
  }
  return tableReplays_;
}

void TForm1::DrawReplayMarks(TSurface& back) {
  const TReplayStore::TIndex& index = TableReplays();
  for (size_t row = 0; row < index.size(); ++row) {
    if (index[row].empty()) continue;
    // A small square before the rank; the picked row's is wider.
    const int32_t width = static_cast<int32_t>(row) == tableReplayRow_ ? 12 : 5;
    FillRoundRect(sl::kHiScoreRankX - 8 - width, RowTop(row) + 11, width, 5, kDarkBlue, back);
  }
}

bool TForm1::TableReplayKey(uint16_t key) {
  if (key != kVkPageUp && key != kVkPageDown && key != kVkW) return false;
  tableReplaysRead_ = false;
  const TReplayStore::TIndex& index = TableReplays();
  if (key == kVkW) {
    if (tableReplayRow_ >= 0) WatchTableRow(static_cast<size_t>(tableReplayRow_));
    return true;
  }
  // The next row with a replay up or down; none: the pick stays.
  const int32_t step = key == kVkPageDown ? 1 : -1;
  const int32_t count = static_cast<int32_t>(index.size());
  int32_t row = tableReplayRow_ < 0 ? (step > 0 ? -1 : count) : tableReplayRow_;
  for (row += step; row >= 0 && row < count; row += step) {
    if (!index[static_cast<size_t>(row)].empty()) {
      tableReplayRow_ = row;
      break;
    }
  }
  return true;
}

bool TForm1::TableReplayClick(int32_t x, int32_t y) {
  const TRect first = sl::HiScoreRow(0);
  if (x < first.Left || x >= first.Right || y < first.Top) return false;
  const size_t row = static_cast<size_t>((y - RowTop(0)) / sl::kHiScoreRowHeight);
  tableReplaysRead_ = false;
  if (row >= TableReplays().size() || TableReplays()[row].empty()) return false;
  WatchTableRow(row);
  return true;
}

void TForm1::WatchTableRow(size_t row) {
  const std::string& name = TableReplays()[row];
  if (name.empty()) return;
  TReplay replay;
  std::string error;
  if (!ReadWatchableReplay(Replays().Folder() + "/" + name, replay, error)) {
    std::cerr << "Tidal Lynx: " << error << '\n';
    FreezeSnapshot(false);
    GoTo(gsReplayFailed);
    return;
  }
  tableReplayRow_ = static_cast<int32_t>(row);
  StartWatching(std::move(replay), false);
}
