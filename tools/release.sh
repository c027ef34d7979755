#!/usr/bin/env bash
# Makes the release tarball pawnfall-VERSION.tar.gz in the given folder (build-release by
# default) and prints its path. It holds the work tree's files that git tracks or would track (a new
# file not yet added too), so it builds offline and holds nothing a build made (git ignores the
# build folders); the Debian packaging (debian/) goes into the source package beside it instead. The version is CMakeLists.txt's, and the tarball is the same
# bytes for the same files: times, owners and order are fixed.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build-release}

version=$(sed -n 's/^project(Pawnfall VERSION \([0-9][0-9.]*\) .*/\1/p' CMakeLists.txt)
[[ -n $version ]] || { echo "release.sh: no version in CMakeLists.txt's project()" >&2; exit 1; }
git rev-parse --is-inside-work-tree >/dev/null 2>&1 ||
  { echo "release.sh: the tarball is made from a git work tree" >&2; exit 1; }
name=pawnfall-$version
# The last commit's time for every file, unless the caller fixes one as Debian's tools do.
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}

list=$(mktemp)
trap 'rm -f "$list"' EXIT
# A deletion not yet committed leaves its file out.
git ls-files -z --cached --others --exclude-standard | sort -zu | while IFS= read -r -d '' file; do
  [[ $file == debian/* ]] && continue
  [[ -e $file || -L $file ]] && printf '%s\0' "$file"
done >"$list"

mkdir -p "$out"
tar --create --sort=name --format=gnu --transform="s|^|$name/|" --owner=0 --group=0 \
  --numeric-owner --mtime="@$epoch" --mode='u+rw,go=rX' --no-recursion --null \
  --files-from="$list" | gzip -9 -n >"$out/$name.tar.gz"
echo "$out/$name.tar.gz"
