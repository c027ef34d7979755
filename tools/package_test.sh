#!/usr/bin/env bash
# Builds the release tarball and, from it, the Debian source and binary packages, and meets them
# as a distribution and a player's machine would: lintian on the source and binary packages, the
# desktop and AppStream validators and the manual pages on the package, then installed with apt,
# started from its desktop entry under Xvfb to play a chain, and removed again. Ends with one
# count line.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh --test --package
deb=$(readlink -f "$(bash tools/package.sh | tail -n 1)")
changes=${deb%.deb}.changes
dbgsym=${deb/\/pawnfall_//pawnfall-dbgsym_}
# The end-to-end test program, which reads the board from the screen to play the chain.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPAWNFALL_TESTS=ON >/dev/null
cmake --build build -j"$(nproc)" --target e2e_tests >/dev/null

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
work=$(mktemp -d)
trap '"${sudo[@]}" apt-get purge -y -qq pawnfall >/dev/null 2>&1 || true; rm -rf "$work"' EXIT

passed=0
failed=0
# Runs one check quietly; on failure shows what it printed.
check() {
  local name=$1
  shift
  if "$@" >"$work/out" 2>&1; then
    echo "ok: $name"
    passed=$((passed + 1))
  else
    echo "FAILED: $name"
    sed 's/^/    /' "$work/out"
    failed=$((failed + 1))
  fi
}

lintian_clean() {
  # Its scratch files (it leaves some behind) go with the check's own folder.
  TMPDIR="$work" lintian -I -E --pedantic --fail-on error,warning "$changes" 2>&1 |
    grep -v 'root privileges' |
    tee "$work/lintian"
  return "${PIPESTATUS[0]}"
}
check "lintian finds no error or warning in the source and binary packages" lintian_clean
echo "    lintian tags: $(grep -c '^E:' "$work/lintian" || true) errors," \
  "$(grep -c '^W:' "$work/lintian" || true) warnings, $(grep -c '^I:' "$work/lintian" || true) infos"

dpkg-deb -x "$deb" "$work/deb"
holds_its_files() {
  local missing=0
  for path in usr/games/pawnfall usr/lib/games/pawnfall/pawnfall \
    usr/lib/games/pawnfall/libPawnfall.so usr/share/games/pawnfall/sounds/BGM.wav \
    usr/share/applications/pawnfall.desktop usr/share/metainfo/org.example.pawnfall.metainfo.xml \
    usr/share/man/man6/pawnfall.6.gz usr/share/man/ja/man6/pawnfall.6.gz \
    usr/share/man/cat6/pawnfall.6.gz usr/share/doc/pawnfall/copyright \
    usr/share/doc/pawnfall/changelog.Debian.gz usr/share/doc/pawnfall/README.gz; do
    [[ -e "$work/deb/$path" ]] || { echo "missing /$path"; missing=1; }
  done
  for size in 16 22 24 32 48 64 128 256; do
    [[ -e "$work/deb/usr/share/icons/hicolor/${size}x$size/apps/pawnfall.png" ]] ||
      { echo "missing the ${size} px icon"; missing=1; }
  done
  return $missing
}
check "the package holds its files in Debian's places for games" holds_its_files
stripped() {
  for elf in "$work"/deb/usr/lib/games/pawnfall/*; do
    if readelf -S "$elf" | grep -Eq '\.symtab|\.debug_'; then echo "not stripped: $elf"; return 1; fi
  done
}
check "the program and its sound library are stripped" stripped
# Debian's way: each stripped file's symbols in pawnfall-dbgsym, found by its build ID.
symbols_in_dbgsym() {
  local elf id
  dpkg-deb -x "$dbgsym" "$work/dbgsym"
  for elf in "$work"/deb/usr/lib/games/pawnfall/*; do
    id=$(readelf -n "$elf" | sed -n 's/.*Build ID: *//p')
    [[ -s $work/dbgsym/usr/lib/debug/.build-id/${id:0:2}/${id:2}.debug ]] ||
      { echo "no symbols for $elf"; return 1; }
  done
}
check "pawnfall-dbgsym holds the symbols of the program and its sound library" symbols_in_dbgsym
# The player's README tells how to play and where the best score is kept, not how to build, and
# shows no picture that is not there.
readme_for_players() {
  zcat "$work/deb/usr/share/doc/pawnfall/README.gz" >"$work/README"
  grep -q '局面 > 最初' "$work/README" && grep -q 'local/share/pawnfall' "$work/README" &&
    ! grep -Ein 'cmake|ctest|tools/|build/|\.png|!\[' "$work/README"
}
check "the README in the package is the player's" readme_for_players
depends_on() {
  dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -qx "$1"
}
for package in libqt6widgets6 fonts-ipafont-mincho qt6-qpa-plugins; do
  check "the package depends on $package" depends_on "$package"
done
check "the desktop entry validates" \
  bash -c '! desktop-file-validate "$1" | grep .' _ "$work/deb/usr/share/applications/pawnfall.desktop"
# With the network checks: the metainfo names no address for them to find unreachable.
check "the AppStream metainfo validates" bash -c \
  '! appstreamcli validate --pedantic "$1" | grep "^[EWIP]:" && [[ ${PIPESTATUS[0]} -eq 0 ]]' \
  _ "$work/deb/usr/share/metainfo/org.example.pawnfall.metainfo.xml"
check "the package recommends Qt's Wayland plugin" \
  bash -c 'dpkg-deb -f "$1" Recommends | grep -qw qt6-wayland' _ "$deb"
manual_formats() {
  for page in "$work"/deb/usr/share/man/man6/pawnfall.6.gz "$work"/deb/usr/share/man/ja/man6/pawnfall.6.gz; do
    LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null | grep . && return 1
  done
  # The English page in the C locale too, where a Japanese letter would be a warning and a blank.
  LC_ALL=C MANWIDTH=80 man --warnings -l "$work/deb/usr/share/man/man6/pawnfall.6.gz" 2>&1 >/dev/null |
    grep . && return 1
  return 0
}
check "the manual pages format without warnings" manual_formats

check "apt installs the package with its dependencies" \
  "${sudo[@]}" apt-get install -y -qq --reinstall "$deb"
# A player's PATH on Debian holds /usr/games, which root's lacks.
player_path=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games
# The version the package was built from, as the program itself says it.
answers_version_without_display() {
  mkdir -p "$work/home"
  local version
  version=$(dpkg-deb -f "$deb" Version)
  [[ $(env -u DISPLAY HOME="$work/home" PATH="$player_path" pawnfall --version) == \
    "Pawnfall ${version%-*}" ]]
}
check "pawnfall --version answers without a display with the package's version" \
  answers_version_without_display
# man keeps formatted pages for its width of 80 columns: a reader in the C locale gets the
# readings of the Japanese names, and one in a UTF-8 locale the names themselves, in either
# order, and nothing is left in man's cache for the next reader to inherit.
manual_for_each_locale() {
  "${sudo[@]}" rm -f /var/cache/man/cat6/pawnfall.6.gz
  for locale in C C.UTF-8 C; do
    LC_ALL=$locale MANWIDTH=80 man pawnfall >"$work/man.$locale" 2>&1
    grep -q 'Kyokumen > Saisho' "$work/man.$locale" ||
      { echo "$locale: no reading"; cat "$work/man.$locale"; return 1; }
  done
  grep -q '局面 > 最初' "$work/man.C.UTF-8" || { echo "C.UTF-8: no Japanese names"; return 1; }
  [[ ! -e /var/cache/man/cat6/pawnfall.6.gz ]] || { echo "left in man's cache"; return 1; }
}
check "man shows the Japanese menu names in UTF-8 and their readings in ASCII" \
  manual_for_each_locale
plays_from_desktop_entry() {
  PAWNFALL_INSTALLED_DESKTOP_ENTRY=/usr/share/applications/pawnfall.desktop \
    build/tests/e2e/e2e_tests --gtest_filter='InstalledPackage.*' | tee "$work/play"
  grep -q '^\[  PASSED  \] 1 test' "$work/play" && ! grep -q 'SKIPPED' "$work/play"
}
check "the installed game starts from its desktop entry, plays a chain and quits with Escape" \
  plays_from_desktop_entry
# Homes an XDG desktop allows, each set up by the end-to-end test: the window comes every time,
# with one warning where no data folder can be had, and the best score is kept where it can.
plays_in_home() {
  PAWNFALL_INSTALLED_DESKTOP_ENTRY=/usr/share/applications/pawnfall.desktop PAWNFALL_HOME_CASE=$1 \
    build/tests/e2e/e2e_tests --gtest_filter='InstalledPackage.*' | tee "$work/play"
  grep -q '^\[  PASSED  \] 1 test' "$work/play"
}
for home in home-unset read-only-home xdg-data-home-relative xdg-data-home-a-file \
  read-only-data-folder; do
  check "the installed game starts and plays with $home" plays_in_home "$home"
done
answers_without_a_trace() {
  mkdir -p "$work/bare"
  env -u DISPLAY HOME="$work/bare" PATH="$player_path" pawnfall --help >/dev/null &&
    env -u DISPLAY HOME="$work/bare" PATH="$player_path" pawnfall --version >/dev/null &&
    [[ -z $(ls -A "$work/bare") ]]
}
check "pawnfall --help and --version touch nothing on disk" answers_without_a_trace

# With a formatted copy in man's cache, as an older package could leave there.
removed() {
  echo 'PAWNFALL(6)' | gzip | "${sudo[@]}" tee /var/cache/man/cat6/pawnfall.6.gz >/dev/null
  "${sudo[@]}" apt-get purge -y -qq pawnfall && [[ ! -e /usr/games/pawnfall ]] &&
    [[ ! -e /usr/lib/games/pawnfall ]] && ! dpkg -s pawnfall >/dev/null 2>&1 &&
    [[ -z $(find /var/cache/man -name 'pawnfall.*') ]]
}
check "apt removes the package, its files and man's formatted copies" removed

echo "package checks: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
