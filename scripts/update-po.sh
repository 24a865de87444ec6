#!/bin/sh
# Regenerates the translations' template po/tidal-lynx.pot from the code and
# merges it into every catalogue of po/LINGUAS.
#
#   scripts/update-po.sh             extract, then msgmerge each po/CODE.po
#   scripts/update-po.sh --pot FILE  only extract, into FILE (the tests use it)
#
# A text is in the template when the code marks it: _("..") where it is
# shown, N_("..") in a table, NC_("context", "..") in a table read with
# TranslateIn, TranslateIn("context", ".."). A comment right above it that
# starts with TRANSLATORS: becomes the translators' note. The desktop entry,
# the AppStream data and the replay's MIME type add their names and summaries.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

pot=po/tidal-lynx.pot
merge=yes
if [ $# -gt 0 ]; then
  if [ "$1" = --pot ] && [ $# -eq 2 ]; then
    pot=$2
    merge=no
  else
    echo "usage: $0 [--pot FILE]" >&2
    exit 2
  fi
fi

for tool in xgettext msgmerge; do
  command -v "$tool" >/dev/null || {
    echo "$0: $tool is missing (Debian package gettext)" >&2
    exit 1
  }
done

version=$(sed -n 's/^project(TidalLynx VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# The sources in a fixed order, so the template does not depend on the
# file system's.
find src tools \( -name '*.cpp' -o -name '*.h' \) | LC_ALL=C sort >"$scratch/code"
# xgettext warns when no bug address is given; we have none to give.
xgettext --from-code=UTF-8 --language=C++ --add-comments=TRANSLATORS: \
  --keyword=_ --keyword=N_ --keyword=NC_:1c,2 --keyword=TranslateIn:1c,2 \
  --package-name=tidal-lynx --package-version="$version" --msgid-bugs-address= \
  --files-from="$scratch/code" --output="$scratch/code.pot" 2>"$scratch/said" || {
  cat "$scratch/said" >&2
  exit 1
}
grep -v -e 'msgid-bugs-address' -e 'Makevars' -e 'MSGID_BUGS_ADDRESS' -e 'specify an' \
  "$scratch/said" >&2 || true
xgettext --from-code=UTF-8 --language=Desktop --output="$scratch/desktop.pot" \
  dist/tidal-lynx.desktop.in
xgettext --from-code=UTF-8 --output="$scratch/xml.pot" \
  dist/tidal-lynx.metainfo.xml.in dist/tidal-lynx-replay.xml
msgcat --use-first --output-file="$scratch/all.pot" \
  "$scratch/code.pot" "$scratch/desktop.pot" "$scratch/xml.pot"

# Our own header in place of xgettext's descriptive title, in UTF-8.
{
  echo "# Texts of Tidal Lynx the player can read. The English texts are the source strings."
  echo "# This file is distributed under the same licence as Tidal Lynx (MIT)."
  echo "#"
  sed -e '1,/^msgid ""$/{/^#/d}' -e 's/charset=CHARSET/charset=UTF-8/' "$scratch/all.pot"
} >"$scratch/final.pot"
mv "$scratch/final.pot" "$pot"

[ "$merge" = yes ] || exit 0
grep -v '^#' po/LINGUAS | while read -r code; do
  [ -n "$code" ] || continue
  msgmerge --quiet --update --backup=none "po/$code.po" "$pot"
done
echo "Updated $pot and the catalogues of po/LINGUAS; translate what msgfmt --statistics counts as fuzzy or untranslated."
