#!/usr/bin/env bash
# The installed game, as a player and a packager meet it: `cmake --install`
# into a scratch DESTDIR and the Debian packages built by cpack; each copy is
# started headless from an unrelated folder with HOME and XDG_DATA_HOME in a
# scratch folder, and must write its first Config.cfg there and nowhere else.
# Usage: install_test.sh BUILD_DIR SOURCE_DIR VERSION APP_ID
set -euo pipefail

build=$1 source=$2 version=$3 app_id=$4
scratch=$(realpath "$(mktemp -d "${TMPDIR:-/tmp}/tl-install.XXXXXX")")
trap 'rm -rf "$scratch"' EXIT
unset TIDAL_LYNX_DATA XDG_DATA_HOME
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
# Library caches (fontconfig, Mesa) go aside, so the checks see the game's own files.
export XDG_CACHE_HOME=$scratch/cache

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
check() {  # check DESCRIPTION COMMAND...
  local what=$1
  shift
  "$@" || fail "$what"
}

# Every file under a folder with its size and modification time.
snapshot() { (cd "$1" && find . -printf '%p %s %T@\n' | sort); }

# Starts BINARY from an empty folder with a scratch HOME and XDG_DATA_HOME,
# waits for the first Config.cfg in EXPECTED, stops the game with a signal and
# checks that nothing else was written.
run_first_start() {
  local name=$1 binary=$2 expected=$3 home=$4 watch=$5
  local cwd=$scratch/$name-cwd
  mkdir -p "$cwd" "$home"
  local before
  before=$(snapshot "$watch")
  (cd "$cwd" && exec env HOME="$home" XDG_DATA_HOME="$home/xdg" "$binary") \
    >"$scratch/$name.out" 2>&1 &
  local pid=$! waited=0
  while [[ ! -s $expected || $(stat -c %s "$expected") -lt 145 ]] && ((waited < 1200)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
    waited=$((waited + 1))
  done
  kill -TERM "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  if [[ ! -f $expected ]]; then
    fail "$name: no $expected; the game said: $(cat "$scratch/$name.out")"
    return
  fi
  check "$name: Config.cfg is the 145-byte first file" test "$(stat -c %s "$expected")" = 145
  check "$name: nothing written in the current folder" test -z "$(ls -A "$cwd")"
  check "$name: the installed tree is unchanged" test "$before" = "$(snapshot "$watch")"
  local others
  others=$(find "$home" -type f ! -path "$expected")
  check "$name: nothing else written in HOME (found: $others)" test -z "$others"
}

# --- cmake --install into a DESTDIR ------------------------------------------------
dest=$scratch/dest
DESTDIR=$dest cmake --install "$build" --prefix /usr >/dev/null
game=$dest/usr/bin/tidal-lynx
share=$dest/usr/share
for file in usr/bin/tidal-lynx usr/share/tidal-lynx/Data/Data.pp usr/share/tidal-lynx/sound/1.xm \
  usr/share/tidal-lynx/sound/2.xm "usr/share/applications/$app_id.desktop" \
  "usr/share/metainfo/$app_id.metainfo.xml" "usr/share/mime/packages/$app_id.xml" \
  usr/share/man/man6/tidal-lynx.6 usr/share/locale/de/LC_MESSAGES/tidal-lynx.mo; do
  check "installed: $file" test -s "$dest/$file"
done
# The installed game finds its catalogues in share/locale, beside its data.
check "the installed game speaks German" grep -q "^Aufruf: " <(LANGUAGE=de "$game" --help)
if [[ -e $build/server/tidal-lynx-scores ]]; then
  check "installed: usr/bin/tidal-lynx-scores" test -x "$dest/usr/bin/tidal-lynx-scores"
fi
for size in 16 32 48 64 128 256; do
  icon=$share/icons/hicolor/${size}x$size/apps/$app_id.png
  check "icon $size: a ${size}x$size PNG" grep -q "PNG image data, $size x $size" <(file "$icon")
done
check "the installed pack is the build's" cmp -s "$build/game/Data/Data.pp" \
  "$share/tidal-lynx/Data/Data.pp"

# --- desktop entry, AppStream data, man page ---------------------------------------
check "desktop-file-validate" desktop-file-validate "$share/applications/$app_id.desktop"
check "appstreamcli validate" appstreamcli validate --no-net \
  "$share/metainfo/$app_id.metainfo.xml" >"$scratch/appstream.out"
check "desktop entry runs tidal-lynx with the opened file" \
  grep -qx "Exec=tidal-lynx %f" "$share/applications/$app_id.desktop"
check "desktop entry opens replays" \
  grep -qx "MimeType=application/x-tidal-lynx-replay;" "$share/applications/$app_id.desktop"
check "desktop entry names the icon" grep -qx "Icon=$app_id" "$share/applications/$app_id.desktop"
check "metainfo's licences" grep -q "<project_license>MIT</project_license>" \
  "$share/metainfo/$app_id.metainfo.xml"

# --- the replay file type, as a file manager finds it ------------------------------
# The database is built in the DESTDIR from the installed package file alone,
# then asked about a replay by its name and about one by its first bytes only.
check "update-mime-database" update-mime-database "$share/mime" >"$scratch/mime.out" 2>&1
printf 'TLR\x1a\x01\x00' >"$scratch/game.tlr"
cp "$scratch/game.tlr" "$scratch/no-suffix"
printf 'plain text\n' >"$scratch/notes.txt"
filetype() {
  XDG_DATA_DIRS=$share XDG_DATA_HOME=$scratch/no-data gio info -a standard::content-type "$1" |
    sed -n 's/^ *standard::content-type: //p'
}
for file in game.tlr no-suffix; do
  type=$(filetype "$scratch/$file")
  check "$file is a replay (got $type)" test "$type" = application/x-tidal-lynx-replay
done
type=$(filetype "$scratch/notes.txt")
check "a text file is not a replay" test "$type" != application/x-tidal-lynx-replay

if command -v groff >/dev/null; then
  check "man page formats without warnings" test -z \
    "$(groff -man -ww -z "$dest/usr/share/man/man6/tidal-lynx.6" 2>&1)"
fi

# --- the command line ----------------------------------------------------------------
# A video driver that does not exist: any window attempt would fail with 1.
nowin() { env SDL_VIDEODRIVER=no-such-driver "$@"; }
out=$(nowin "$game" --version) || fail "--version exits 0"
check "--version prints the version" test "$out" = "Tidal Lynx $version"
out=$(nowin "$game" --help) || fail "--help exits 0"
check "--help lists the options" grep -q -- "--data-dir DIR" <<<"$out"
set +e
nowin "$game" --no-such-option >"$scratch/bad.out" 2>"$scratch/bad.err"
status=$?
set -e
check "a bad option exits 2 (got $status)" test "$status" = 2
check "a bad option prints the usage on stderr" grep -q "^usage: tidal-lynx" "$scratch/bad.err"
check "a bad option prints nothing on stdout" test ! -s "$scratch/bad.out"
# A replay that cannot be played is refused before any window opens.
printf 'not a replay' >"$scratch/bad.tlr"
set +e
err=$(nowin "$game" "$scratch/bad.tlr" 2>&1 >/dev/null)
status=$?
set -e
check "an unplayable replay exits 2 (got $status)" test "$status" = 2
check "an unplayable replay is named ($err)" grep -qF "$scratch/bad.tlr: " <<<"$err"

# --- a binary without data: status 1, every place listed -----------------------------
lonely=$scratch/lonely/bin
mkdir -p "$lonely"
cp "$game" "$lonely/"
set +e
err=$(cd "$scratch" && HOME=$scratch/lonely-home nowin "$lonely/tidal-lynx" 2>&1 >/dev/null)
status=$?
set -e
check "missing data exits 1 (got $status)" test "$status" = 1
check "missing data names the executable's folder ($err)" grep -qF "$lonely" <<<"$err"
check "missing data names ../share/tidal-lynx ($err)" \
  grep -qF "$scratch/lonely/share/tidal-lynx" <<<"$err"
check "nothing was created for a game that did not start" test ! -e "$scratch/lonely-home"

# --- no font at all: status 1 and a clear message --------------------------------------
printf '<?xml version="1.0"?>\n<fontconfig></fontconfig>\n' >"$scratch/no-fonts.conf"
set +e
err=$(HOME=$scratch/font-home FONTCONFIG_FILE=$scratch/no-fonts.conf nowin "$game" 2>&1 >/dev/null)
status=$?
set -e
check "no font exits 1 (got $status)" test "$status" = 1
check "no font says so ($err)" grep -q "No usable font" <<<"$err"

# --- first start of the installed copy ---------------------------------------------------
run_first_start installed "$game" "$scratch/home/xdg/tidal-lynx/Config.cfg" "$scratch/home" "$dest"
check "the user folder is private" test "$(stat -c %a "$scratch/home/xdg/tidal-lynx")" = 700

# --- the build's own folder (what scripts/run.sh starts) writes nothing there --------
run_first_start build "$build/game/tidal-lynx" "$scratch/build-home/xdg/tidal-lynx/Config.cfg" \
  "$scratch/build-home" "$build/game"

# --- a portable copy keeps Config.cfg beside the program ------------------------------------
portable=$scratch/portable
mkdir -p "$portable"
cp -r "$game" "$share/tidal-lynx/Data" "$share/tidal-lynx/sound" "$portable/"
touch "$portable/portable"
run_first_start portable "$portable/tidal-lynx" "$portable/Config.cfg" "$scratch/portable-home" \
  "$dest"

# --- the Debian packages ----------------------------------------------------------------------
(cd "$build" && cpack -G DEB -B "$scratch/pkg" >"$scratch/cpack.out" 2>&1) ||
  fail "cpack: $(cat "$scratch/cpack.out")"
arch=$(dpkg --print-architecture)
deb=$(echo "$scratch/pkg/tidal-lynx_${version}"-*_"$arch.deb")
if [[ -f $deb ]]; then
  check "deb: package name" test "$(dpkg-deb -f "$deb" Package)" = tidal-lynx
  check "deb: section games" test "$(dpkg-deb -f "$deb" Section)" = games
  check "deb: library dependencies from shlibdeps" grep -q "libsdl2" <<<"$(dpkg-deb -f "$deb" Depends)"
  check "deb: no server in the game package" test -z "$(dpkg-deb -c "$deb" | grep scores || true)"
  dpkg-deb -x "$deb" "$scratch/deb"
  run_first_start deb "$scratch/deb/usr/games/tidal-lynx" "$scratch/deb-home/xdg/tidal-lynx/Config.cfg" \
    "$scratch/deb-home" "$scratch/deb"
else
  fail "no $deb; cpack made: $(ls "$scratch/pkg")"
fi
if [[ -e $build/server/tidal-lynx-scores ]]; then
  server_deb=$(echo "$scratch/pkg/tidal-lynx-scores_${version}"-*_"$arch.deb")
  dpkg-deb -c "$server_deb" >"$scratch/server-deb.list"
  check "server deb carries the server" grep -q "usr/bin/tidal-lynx-scores" "$scratch/server-deb.list"
  dpkg-deb -x "$server_deb" "$scratch/server-deb"
  check "server deb: its unit starts /usr/bin/tidal-lynx-scores" grep -q \
    "^ExecStart=/usr/bin/tidal-lynx-scores " \
    "$scratch/server-deb/usr/lib/systemd/system/tidal-lynx-scores.service"
  check "server deb: its man page" test -s "$scratch/server-deb/usr/share/man/man8/tidal-lynx-scores.8.gz"
fi

# --- one version: CMakeLists.txt's, everywhere it is shown ---------------------------------
# NEWS.md's newest release, AppStream's newest <release>, the man pages, both
# packages and their changelogs (--version is checked above).
check "NEWS.md's newest release is $version" \
  test "$(sed -n 's/^## \([^ ]*\) (.*/\1/p' "$source/NEWS.md" | head -1)" = "$version"
check "AppStream's newest release is $version" \
  grep -q "<release version=\"$version\"" <(grep -m1 "<release " "$share/metainfo/$app_id.metainfo.xml")
check "the game's man page shows $version" grep -q "^\.TH .*\"Tidal Lynx $version\"" \
  "$share/man/man6/tidal-lynx.6"
if [[ -e $build/server/tidal-lynx-scores ]]; then
  check "the server's man page shows $version" grep -q "^\.TH .*\"Tidal Lynx $version\"" \
    "$share/man/man8/tidal-lynx-scores.8"
fi
for package in "$deb" "${server_deb:-}"; do
  [[ -f $package ]] || continue
  name=$(dpkg-deb -f "$package" Package)
  debversion=$(dpkg-deb -f "$package" Version)
  check "$name: version $debversion is $version-<revision>" grep -qx "$version-[0-9][0-9.]*" <<<"$debversion"
  dpkg-deb -x "$package" "$scratch/docs-$name"
  doc=$scratch/docs-$name/usr/share/doc/$name
  check "$name: changelog.Debian.gz begins with $debversion" \
    grep -q "^tidal-lynx ($debversion) " <(gzip -dc "$doc/changelog.Debian.gz" | head -1)
  check "$name: its copyright is machine-readable" \
    grep -qx "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" "$doc/copyright"
done

# --- no path of one distribution in the code ----------------------------------------------
check "no /usr/share in src or tools" test -z "$(grep -rn "/usr/share" "$source/src" "$source/tools")"

if ((failures > 0)); then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "install test passed"
