#include <gtest/gtest.h>
#include <xmp.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "MusicComposer.h"

namespace {

struct TRender {
  int channels = 0;
  int totalMs = 0;
  double rms = 0;
  int clipped = 0;
  int frames = 0;
};

// Loads a module with libxmp and renders `seconds` of it.
TRender Render(const std::string& path, double seconds) {
  TRender out;
  xmp_context ctx = xmp_create_context();
  if (xmp_load_module(ctx, path.c_str()) != 0) {
    xmp_free_context(ctx);
    ADD_FAILURE() << "libxmp cannot load " << path;
    return out;
  }
  xmp_module_info info;
  xmp_get_module_info(ctx, &info);
  out.channels = info.mod->chn;
  xmp_start_player(ctx, 44100, 0);
  xmp_frame_info fi;
  xmp_get_frame_info(ctx, &fi);
  out.totalMs = fi.total_time;
  std::vector<int16_t> buffer(4096);
  double energy = 0;
  const auto samples = static_cast<long>(seconds * 44100 * 2);
  long done = 0;
  while (done < samples) {
    xmp_play_buffer(ctx, buffer.data(), static_cast<int>(buffer.size() * 2), 0);
    for (const int16_t s : buffer) {
      energy += static_cast<double>(s) * s;
      out.clipped += (s == 32767 || s == -32768) ? 1 : 0;
    }
    done += static_cast<long>(buffer.size());
  }
  out.rms = std::sqrt(energy / static_cast<double>(done));
  xmp_end_player(ctx);
  xmp_release_module(ctx);
  xmp_free_context(ctx);
  return out;
}

TEST(MusicTest, BothModulesLoadAndPlayAudibly) {
  for (const char* track : {"1.xm", "2.xm"}) {
    SCOPED_TRACE(track);
    const TRender r = Render(std::string(TL_GAME_DIR) + "/sound/" + track, 6);
    EXPECT_GE(r.channels, 4);
    EXPECT_GE(r.totalMs, 60000) << "a song of at least a minute";
    EXPECT_GT(r.rms, 800) << "not silent";
    EXPECT_LT(r.rms, 16000);
    EXPECT_EQ(r.clipped, 0) << "not clipped";
  }
}

TEST(MusicTest, SongsStayInKeyAndEndOnAChordLeadingHome) {
  struct Case {
    int track;
    std::vector<int> scale;  // pitch classes of the key
  };
  const Case cases[] = {{1, {0, 2, 4, 5, 7, 9, 11}}, {2, {9, 11, 0, 2, 4, 5, 7}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.track);
    const TXmModule m = TMusicComposer::Compose(c.track);
    EXPECT_GE(m.Seconds(), 60);
    int notes = 0;
    for (const TXmPattern& p : m.patterns)
      for (const TXmCell& cell : p.cells) {
        if (cell.note == 0 || cell.note == 97) continue;
        // Drums play on C; the E major chord of the minor song brings G#.
        const int pc = (cell.note - 1) % 12;
        const bool inKey = std::find(c.scale.begin(), c.scale.end(), pc) != c.scale.end();
        EXPECT_TRUE(inKey || (c.track == 2 && pc == 8)) << "note " << int(cell.note);
        ++notes;
      }
    EXPECT_GT(notes, 300);
    EXPECT_EQ(m.restart, 0);
  }
}

TEST(MusicTest, ModulesAreDeterministic) {
  for (const int track : {1, 2})
    EXPECT_EQ(TMusicComposer::Compose(track).Bytes(), TMusicComposer::Compose(track).Bytes());
}

}  // namespace
