// shots <outdir>: renders every screen of the game on the fake platform with
// the real image pack and writes PNG pictures for review. Run it with the game
// folder as the working directory.

#include <exception>
#include <iostream>

#include "GameShots.h"
#include "ShellShots.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: shots <outdir>  (run from the game folder)\n";
    return 2;
  }
  try {
    const int failures = WriteShellShots(argv[1]);
    WriteGameShots(argv[1]);
    return failures == 0 ? 0 : 1;
  } catch (const std::exception& error) {
    std::cerr << "shots: " << error.what() << '\n';
    return 1;
  }
}
