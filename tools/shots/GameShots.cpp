#include "GameShots.h"

#include <filesystem>
#include <iostream>
#include <memory>

#include "PngWriter.h"
#include "game/BusyScene.h"
#include "game/GameReplay.h"
#include "graphics/ImagePack.h"

namespace {

void Save(const TSurface& surface, const std::string& outDir, const std::string& name) {
  const std::string path = outDir + "/" + name;
  if (!WritePng(surface, path)) std::cerr << "shots: could not write " << path << '\n';
}

}  // namespace

void WriteGameShots(const std::string& outDir, const std::string& packPath,
                    const std::string& languagePackPath) {
  std::filesystem::create_directories(outDir);
  TGameRig rig(20261207, false);
  LoadAllImages(rig.Images, packPath);
  if (!languagePackPath.empty()) (void)LoadLanguageImages(rig.Images, languagePackPath);

  // A fresh game: between levels, then the banner with the sea scrolling.
  rig.Frame();
  for (int i = 0; i < 40; ++i) rig.Frame();
  Save(rig.Back, outDir, "game_banner.png");

  // Quiet play a few seconds in, the player moving and firing.
  const auto script = MakeReplayScript(5, 900);
  size_t at = 0;
  while (rig.Game->Phase != phPlay && at < script.size()) PlayReplayFrame(rig, script[at++]);
  for (int i = 0; i < 400 && at < script.size(); ++i) PlayReplayFrame(rig, script[at++]);
  Save(rig.Back, outDir, "game_play.png");

  // A busy battle: enemies, shots, islands, explosions and bonuses.
  StageBusyScene(*rig.Game);
  for (int i = 0; i < 6; ++i) rig.Frame();
  Save(rig.Back, outDir, "game_battle.png");

  // The last ship lost: wreck explosions, then the game-over picture.
  rig.Game->Fleet->Clear();
  rig.Game->Lives = 1;
  rig.Game->Health = 0;
  for (int i = 0; i < 40; ++i) rig.Frame();
  Save(rig.Back, outDir, "game_wreck.png");
  for (int i = 0; i < 5000 && rig.Game->Phase != phGameOver; ++i) rig.Frame();
  rig.Frame();
  Save(rig.Back, outDir, "game_over.png");
}
