#!/usr/bin/env bash
# What a distribution checks before it takes a release, run after the release
# build (scripts/test.sh calls it):
#   - `reuse lint`: every file of the tree has its copyright and licence;
#   - the Debian packages of the build folder are lintian clean;
#   - the source tarball (scripts/release.sh) builds without git in a scratch
#     folder, at another path and another time, without ccache, tests or
#     benchmarks, and its `tidal-lynx --version` answers;
#   - that second build gives byte-identical packages and installed tree; a
#     difference names the file (with diffoscope's report when it is installed).
# Usage: scripts/release-check.sh [BUILD_DIR]   (default build/release, built)
set -euo pipefail
# Read whole before running, so an edit while it runs cannot derail it.
{
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build/release}")
started=$SECONDS

scratch=$(realpath "$(mktemp -d "${TMPDIR:-/tmp}/tl-release-check.XXXXXX")")
trap 'rm -rf "$scratch"' EXIT
# Both builds take their time stamp from the sources: git here, the tarball's
# SOURCE_DATE_EPOCH file there.
unset SOURCE_DATE_EPOCH
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
step() { echo "== $* ($((SECONDS - started)) s)"; }

version=$(sed -n 's/^project(TidalLynx VERSION \([0-9][0-9A-Za-z.]*\).*/\1/p' CMakeLists.txt)
if [[ ! -f $build/CMakeCache.txt ]]; then
  echo "release-check.sh: $build is not a configured build folder; run the release build first" >&2
  exit 1
fi

# --- licences ------------------------------------------------------------------------
step "reuse lint"
if ! reuse lint >"$scratch/reuse.out" 2>&1; then
  fail "reuse lint:"
  cat "$scratch/reuse.out" >&2
fi

# --- packages of the build folder ------------------------------------------------------
# make_debs BUILD_DIR OUT_DIR UMASK: the Debian packages of a built folder.
make_debs() {
  if ! (cd "$1" && umask "$3" && cpack -G DEB -B "$2") >"$2.log" 2>&1; then
    fail "cpack in $1:"
    cat "$2.log" >&2
  fi
}
step "packages of $build"
make_debs "$build" "$scratch/debs-1" 0022
debs=("$scratch"/debs-1/*.deb)
if ((${#debs[@]} != 2)) || [[ ! -f ${debs[0]} ]]; then
  fail "expected the game and the server package, cpack made: $(ls "$scratch/debs-1")"
fi

step "lintian"
# Errors and warnings fail; overrides in the packages carry their reasons.
if ! lintian --fail-on error,warning "${debs[@]}" >"$scratch/lintian.out" 2>&1; then
  fail "lintian:"
  cat "$scratch/lintian.out" >&2
fi

# --- the source tarball, built elsewhere ------------------------------------------------
step "source tarball"
tarball=$(scripts/release.sh --worktree "$scratch")
name=$(basename "$tarball" .tar.xz)
if [[ $name != "tidal-lynx-$version" ]]; then
  fail "the tarball is $name, not tidal-lynx-$version"
fi
# Sources only: nothing git ignores (the build folders, generated files).
leaked=$(tar -tJf "$tarball" | sed -n "s|^$name/\(.\)|\1|p" | git check-ignore --no-index --stdin || true)
[[ -z $leaked ]] || fail "the tarball holds ignored files: $leaked"
# Another folder, deeper and with another name, so a leaked path shows.
other=$scratch/elsewhere/unpacked-$RANDOM
mkdir -p "$other"
tar -C "$other" -xJf "$tarball"
tree=$other/$name
[[ ! -e $tree/.git ]] || fail "the tarball holds .git"

step "build from the tarball (the README's commands, no ccache, no tests)"
# Another umask too: no mode in the packages may follow the builder's.
if ! (cd "$tree" && umask 0002 && export CCACHE_DISABLE=1 &&
  cmake --preset release -DTL_BUILD_TESTS=OFF -DTL_BUILD_BENCH=OFF &&
  cmake --build --preset release -j "$(nproc)") >"$scratch/tarball-build.log" 2>&1; then
  fail "the tarball does not build; the last lines of its log:"
  tail -40 "$scratch/tarball-build.log" >&2
fi
build2=$tree/build/release
out=$("$build2/game/tidal-lynx" --version 2>&1) || fail "tarball build: --version failed: $out"
[[ $out == "Tidal Lynx $version" ]] || fail "tarball build: --version says '$out'"

# --- the two builds, byte for byte ----------------------------------------------------------
# Every entry of a folder: path, type, mode and link target.
listing() { (cd "$1" && find . -mindepth 1 -printf '%P %y %m %l\n' | LC_ALL=C sort); }

# compare_trees WHAT A B: the same entries with the same bytes, else each
# difference by name.
compare_trees() {
  local what=$1 a=$2 b=$3
  local entries
  entries=$(diff <(listing "$a") <(listing "$b")) || fail "$what: entries differ (< first, > second):
$entries"
  while IFS= read -r -d '' file; do
    if [[ -f $b/$file ]] && ! cmp -s "$a/$file" "$b/$file"; then
      fail "$what: $file differs"
      if command -v diffoscope >/dev/null; then
        diffoscope --text - "$a/$file" "$b/$file" 2>&1 | head -60 >&2 || true
      else
        cmp "$a/$file" "$b/$file" >&2 || true
      fi
    fi
  done < <(cd "$a" && find . -type f -printf '%P\0')
}

step "packages of the tarball build"
make_debs "$build2" "$scratch/debs-2" 0002
for deb in "${debs[@]}"; do
  base=$(basename "$deb")
  second=$scratch/debs-2/$base
  if [[ ! -f $second ]]; then
    fail "the tarball build made no $base"
  elif ! cmp -s "$deb" "$second"; then
    fail "$base differs between the two builds"
    # Name what differs: the files, then their metadata in the archive.
    for n in 1 2; do
      d=$scratch/debs-$n/$base
      dpkg-deb -R "$d" "$scratch/x$n-$base"
      dpkg-deb --fsys-tarfile "$d" | tar -tv --full-time >"$scratch/x$n-$base.list"
    done
    compare_trees "$base" "$scratch/x1-$base" "$scratch/x2-$base"
    diff "$scratch/x1-$base.list" "$scratch/x2-$base.list" >&2 || true
  fi
done

step "installed trees"
for n in 1 2; do
  dir=$build mask=0022
  [[ $n == 2 ]] && dir=$build2 mask=0002
  (umask $mask && DESTDIR=$scratch/installed-$n cmake --install "$dir" --prefix /usr >/dev/null)
done
compare_trees "installed tree" "$scratch/installed-1" "$scratch/installed-2"

step "done"
if ((failures > 0)); then
  # Both builds' packages stay for a closer look (diffoscope, dpkg-deb -I).
  kept=$(dirname "$build")/release-check
  rm -rf "$kept"
  mkdir -p "$kept"
  cp -r "$scratch"/debs-* "$kept/" 2>/dev/null || true
  echo "$failures release check(s) failed; the packages of both builds are in $kept" >&2
  exit 1
fi
echo "release checks passed in $((SECONDS - started)) s"
exit
}
