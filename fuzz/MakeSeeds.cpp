// Writes the fuzz seeds from the real assets: records of the generated image
// pack, the sound bank's waves, the default settings file and the records and
// answers the game and server exchange. Kept small: only the smallest few of
// each are taken.
//   fuzz_seeds <game folder> <fuzz/corpus folder>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "audio/EmbeddedWaves.h"
#include "audio/SoundEffects.h"
#include "protocol/ResultCodec.h"
#include "settings/ConfigFile.h"

namespace fs = std::filesystem;

namespace {

using TBytes = std::vector<uint8_t>;

void Put(const fs::path& folder, const std::string& name, const TBytes& bytes) {
  fs::create_directories(folder);
  std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}
void Put(const fs::path& folder, const std::string& name, const std::string& text) {
  Put(folder, name, TBytes(text.begin(), text.end()));
}

uint32_t Le32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

std::vector<TBytes> PackRecords(const fs::path& pack) {
  std::ifstream in(pack, std::ios::binary);
  const TBytes bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::vector<TBytes> records;
  for (size_t pos = 0; pos + 4 <= bytes.size();) {
    const uint32_t length = Le32(bytes.data() + pos);
    pos += 4;
    if (length > bytes.size() - pos) break;
    records.emplace_back(bytes.begin() + static_cast<long>(pos),
                         bytes.begin() + static_cast<long>(pos + length));
    pos += length;
  }
  return records;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: fuzz_seeds <game folder> <corpus folder>\n");
    return 2;
  }
  const fs::path game = argv[1];
  const fs::path corpus = argv[2];

  // Images: the three smallest records as BMPs, and a pack of them.
  std::vector<TBytes> records = PackRecords(game / "Data" / "Data.pp");
  if (records.empty()) {
    std::fprintf(stderr, "no image pack in %s\n", game.c_str());
    return 1;
  }
  std::sort(records.begin(), records.end(),
            [](const TBytes& a, const TBytes& b) { return a.size() < b.size(); });
  TBytes pack;
  for (size_t i = 0; i < 3 && i < records.size(); ++i) {
    Put(corpus / "bmp", "record" + std::to_string(i) + ".bmp", records[i]);
    const uint32_t length = static_cast<uint32_t>(records[i].size());
    for (int b = 0; b < 4; ++b) pack.push_back(static_cast<uint8_t>(length >> (8 * b)));
    pack.insert(pack.end(), records[i].begin(), records[i].end());
  }
  Put(corpus / "image_pack", "three-records.pp", pack);

  // Waves: the two smallest of the sound bank.
  std::vector<std::span<const uint8_t>> waves;
  for (int id = 0; id < kSoundCount; ++id) waves.push_back(EmbeddedWave(id));
  std::sort(waves.begin(), waves.end(), [](auto a, auto b) { return a.size() < b.size(); });
  for (size_t i = 0; i < 2 && i < waves.size(); ++i) {
    Put(corpus / "wave", "wave" + std::to_string(i) + ".wav",
        TBytes(waves[i].begin(), waves[i].end()));
  }

  // Settings: the defaults and a changed file.
  TOptions options;
  THiScoreTable table = DefaultHiScores();
  Put(corpus / "config", "default.cfg", TConfigFile::Encode(options, table));
  options.WindowedMode = false;
  options.MinimizeKey = 116;
  options.PlayerName = "MAXIMILIAN";
  table[0] = {"ANNA", 99999};
  Put(corpus / "config", "changed.cfg", TConfigFile::Encode(options, table));

  // The web shortcut.
  Put(corpus / "play_url", "shortcut.url",
      std::string("[InternetShortcut]\r\nURL=http://localhost:8642/\r\nIconIndex=0\r\n"));
  Put(corpus / "play_url", "local.url", std::string("[InternetShortcut]\nURL=file:///bin/sh\n"));

  // Records and answers of the two requests.
  const std::string record = BuildResultRecord("Pilot", 12345, "A1B2C3D4", "Ann");
  Put(corpus / "result_codec", "record.txt", record);
  Put(corpus / "result_codec", "encoded.txt", EncodeResult(record));
  Put(corpus / "submitted_result", "record.txt", BuildResultRecord("Pilot", 12345, "{p}", "Ann"));
  Put(corpus / "submitted_result", "forged.txt", BuildResultRecord("a|score=9", 60, "{p}", ""));
  Put(corpus / "challenge", "answer.txt",
      std::string("TidalLynx|2.0|1700000000|600|0123456789abcdef0123456789abcdef|"));
  Put(corpus / "challenge", "short.txt", std::string("TidalLynx|2.0|"));
  return 0;
}
