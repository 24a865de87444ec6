#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and UBSan, runs every
# test, then the audio soak under ThreadSanitizer, and checks that the run left
# the working tree unchanged.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --tests

jobs=$(nproc)
# Tests never need a real display or sound card.
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
before=$(git status --porcelain 2>/dev/null || true)

cmake --preset dev >/dev/null
cmake --build --preset dev -j "$jobs"
ctest --preset dev -j "$jobs"

# The audio thread soak, under ThreadSanitizer.
if compgen -G "tests/audio/*Soak*.cpp" >/dev/null; then
  cmake --preset tsan >/dev/null
  cmake --build --preset tsan -j "$jobs" --target tests_audio
  (cd build/tsan && tests/tests_audio --gtest_filter='*Soak*')
fi

after=$(git status --porcelain 2>/dev/null || true)
if [[ "$before" != "$after" ]]; then
  echo "The test run changed the working tree:" >&2
  diff <(echo "$before") <(echo "$after") >&2 || true
  exit 1
fi
