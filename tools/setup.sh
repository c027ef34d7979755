#!/usr/bin/env bash
# Installs the Debian packages the project needs; quick no-op when all are present. Plain, what
# building and playing the game needs; with --test, also what its tests and benchmarks need;
# with --web, what the browser build and its browser tests need; with --package, what building
# the Debian source and binary packages needs (tools/package.sh).
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev libgl-dev
  libsdl2-dev libfontconfig-dev
  fonts-ipafont-mincho fonts-ipafont-gothic fonts-dejavu-core
)
for extra in "$@"; do
  case $extra in
    --web)
      packages+=(emscripten node-acorn chromium chromium-driver python3-selenium python3-pil
        firefox-esr opus-tools imagemagick) ;;
    --test)
      packages+=(clang libgtest-dev libgmock-dev libbenchmark-dev
        xvfb xauth xdotool x11-utils imagemagick openbox libx11-dev sgt-puzzles
        lintian appstream desktop-file-utils man-db groff-base) ;;
    --package) packages+=(debhelper dpkg-dev) ;;
    *) echo "setup.sh: unknown option $extra" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq "${missing[@]}"
