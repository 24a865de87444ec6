#pragma once

#include <string>

// Plays a scripted game on the fake platform with the real image pack at
// `packPath` and writes PNG pictures of chosen
// moments into `outDir`: the level banner, quiet play, a busy battle with
// enemies, shots, islands, explosions and bonuses, the wreck of the ship and
// the game-over picture. Throws when the image pack cannot be read.
void WriteGameShots(const std::string& outDir, const std::string& packPath,
                    const std::string& languagePackPath = {});
