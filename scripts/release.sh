#!/usr/bin/env bash
# Makes the source release tidal-lynx-<version>.tar.xz from a clean checkout:
# every file git tracks, as committed, plus the file SOURCE_DATE_EPOCH with the
# commit's time, so a build from the tarball (where there is no git) stamps its
# packages as a build of the checkout does. The tarball itself is reproducible:
# sorted names, the commit's time on every file, no owner names.
# Usage: scripts/release.sh [--worktree] [OUTPUT_DIR]
#   --worktree  take the files as they are in the working tree, changed or not
#               yet added (scripts/release-check.sh compares a build of them
#               with the build folder's)
set -euo pipefail

worktree=false
if [[ ${1:-} == --worktree ]]; then
  worktree=true
  shift
fi
out=${1:-.}
source=$(cd "$(dirname "$0")/.." && pwd)
cd "$source"

if ! git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  echo "release.sh: $source is not a git checkout" >&2
  exit 1
fi
if ! $worktree && [[ -n $(git status --porcelain) ]]; then
  echo "release.sh: the tree has uncommitted changes or untracked files; commit or remove them:" >&2
  git status --short >&2
  exit 1
fi

version=$(sed -n 's/^project(TidalLynx VERSION \([0-9][0-9A-Za-z.]*\).*/\1/p' CMakeLists.txt)
if [[ -z $version ]]; then
  echo "release.sh: no version in CMakeLists.txt's project() line" >&2
  exit 1
fi
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
name=tidal-lynx-$version

mkdir -p "$out"
out=$(cd "$out" && pwd)
stage=$(mktemp -d "${TMPDIR:-/tmp}/tl-release.XXXXXX")
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/$name"

# Tracked files that still exist, and with --worktree the new ones not ignored.
list=(--cached)
if $worktree; then list+=(--others --exclude-standard); fi
git ls-files -z "${list[@]}" | while IFS= read -r -d '' file; do
  [[ -e $file || -L $file ]] && printf '%s\0' "$file"
done | sort -zu >"$stage/files"
tar -C "$source" --null --no-recursion -T "$stage/files" -cf - | tar -C "$stage/$name" -xf -
echo "$epoch" >"$stage/$name/SOURCE_DATE_EPOCH"

# Files as git would check them out: the umask decides nothing.
find "$stage/$name" -type d -exec chmod 0755 {} +
find "$stage/$name" -type f -perm /u+x -exec chmod 0755 {} +
find "$stage/$name" -type f ! -perm /u+x -exec chmod 0644 {} +

tar -C "$stage" --sort=name --format=gnu --mtime="@$epoch" --owner=0 --group=0 --numeric-owner \
  -cf - "$name" | xz -9 -T1 >"$stage/$name.tar.xz"
mv "$stage/$name.tar.xz" "$out/"
echo "$out/$name.tar.xz"
