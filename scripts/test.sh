#!/usr/bin/env bash
# Installs what is missing, checks the sources' formatting, builds with
# AddressSanitizer and UBSan and runs every test, then the audio tests under
# ThreadSanitizer, the whole suite again in a plain release build and the
# release checks, the game logic built by clang at -O0 and -O2, each fuzz
# target for a short while, and checks that the run left the working tree
# unchanged.
set -euo pipefail
cd "$(dirname "$0")/.."

# Each phase says when it starts and how long the run has taken so far, so a
# slow CI log shows where its time went.
phase() { echo "== $1 (at ${SECONDS}s)"; }

phase "packages"
scripts/install-deps.sh --tests

jobs=$(nproc)
# Tests never need a real display or sound card.
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
before=$(git status --porcelain 2>/dev/null || true)

phase "format check"
# Every source file as the repository's .clang-format lays it out.
find src server tools tests bench fuzz \( -name '*.cpp' -o -name '*.h' \) -print0 |
  xargs -0 clang-format --dry-run --Werror

phase "dev build (AddressSanitizer, UBSan)"
cmake --preset dev >/dev/null
cmake --build --preset dev -j "$jobs"
phase "dev tests"
ctest --preset dev -j "$jobs"

phase "audio under ThreadSanitizer"
# The audio thread and its soak, under ThreadSanitizer.
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$jobs" --target tests_audio
mkdir -p build/tsan/tests/work/audio
(cd build/tsan/tests/work/audio && ../../tests_audio)

phase "release build"
# Without sanitizers: nothing may depend on what a sanitizer happens to do.
cmake --preset release >/dev/null
cmake --build --preset release -j "$jobs"
phase "release tests"
ctest --preset release -j "$jobs"
phase "release checks"
# Licences, lintian, and the source tarball built elsewhere to the same bytes.
scripts/release-check.sh build/release

# The game logic built by clang at -O0 and -O2 plays the golden game to the
# same bits as the gcc builds above.
for preset in clang-O0 clang-O2; do
  phase "$preset game logic"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  (cd "build/$preset/tests/work/logic" && ../../tests_logic)
done

phase "fuzz targets"
# Every fuzz target for a short while (TL_FUZZ_SECONDS, default 10): the corpus
# and the regressions run in full, and the test command stays within its time.
scripts/fuzz.sh "${TL_FUZZ_SECONDS:-10}"

after=$(git status --porcelain 2>/dev/null || true)
if [[ "$before" != "$after" ]]; then
  echo "The test run changed the working tree:" >&2
  diff <(echo "$before") <(echo "$after") >&2 || true
  exit 1
fi
phase "done"
