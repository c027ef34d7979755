#!/usr/bin/env bash
# Builds the browser version into build-web/site/ (static files any web server can serve) and
# serves it at http://localhost:8000/. With --build-only it stops after building.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh --web --test
jobs=$(nproc)

# The wave files, the icons, the picture sheets, the menu bar and the numbers the page shares with
# the game come from the desktop build's own generators.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs" --target pawnfall_sounds pawnfall_icons pawnfall_sheets pawnfall_page_parts

# Debian's emscripten keeps its prebuilt libraries in a system folder that only root may write
# to; the build gets a cache of its own, seeded with links to those libraries.
export EM_CACHE=$PWD/build-web/em-cache
if [[ ! -e $EM_CACHE/sysroot_install.stamp ]]; then
  rm -rf "$EM_CACHE"
  mkdir -p "$EM_CACHE"
  system_cache=/usr/share/emscripten/cache
  [[ -d $system_cache/sysroot ]] && cp -rs "$system_cache"/sysroot "$system_cache"/sysroot_install.stamp "$EM_CACHE"/ 2>/dev/null || true
fi
# Its optimiser runs on node and needs the system's acorn.
export NODE_PATH=/usr/share/nodejs
emcmake cmake -S . -B build-web/wasm -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-web/wasm -j"$jobs" --target pawnfall_web

site=build-web/site
rm -rf "$site"
mkdir -p "$site"/pictures "$site"/sounds "$site"/icons
cp web/page/manifest.webmanifest "$site"/
# The page, with its style sheet, its scripts and the game's loader set into it, the links that fetch its density's
# picture sheet early and the parts written from the game's tables; the service worker is made
# from its template below.
/usr/bin/python3 tools/inline_page.py web/page build/sheets/preload.html build/page/parts.html \
  build-web/wasm/web/pawnfall.js "$site"/index.html
cp build-web/wasm/web/pawnfall.wasm "$site"/
cp build/sheets/pictures/*.png "$site"/pictures/
# The waves travel as Opus, which the page decodes back; the originals stay for a browser that
# cannot. The music, made at a low rate, needs fewer bits than the full-band effects.
cp build/run/*.wav "$site"/sounds/
for wave in build/run/*.wav; do
  rate=$(/usr/bin/python3 -c 'import sys, wave; print(wave.open(sys.argv[1]).getframerate())' "$wave")
  opusenc --quiet --cvbr --bitrate $((rate < 24000 ? 36 : 48)) "$wave" "$site/sounds/$(basename "${wave%.wav}").opus"
done
for size in 48 128 256; do cp "build/icons/${size}x${size}/apps/pawnfall.png" "$site/icons/icon-$size.png"; done
convert "$site/icons/icon-256.png" -resize 192x192 "$site/icons/icon-192.png"
convert "$site/icons/icon-256.png" -filter point -resize 512x512 "$site/icons/icon-512.png"
# The service worker's cache is named after the site's contents, so a new build replaces it.
version=$(find "$site" -type f -print0 | sort -z | xargs -0 cat | sha256sum | cut -c1-16)
# It keeps the page's code at once; a density's pictures and the waves only once they are fetched.
files=$(cd "$site" && find . -type f ! -name sw.js ! -path './pictures/*' ! -path './sounds/*' | sort | sed 's|^\./||' |
  /usr/bin/python3 -c 'import json, sys, urllib.parse; print(json.dumps([urllib.parse.quote(l.strip()) for l in sys.stdin]))')
sed -e "s/@SITE_VERSION@/$version/" -e "s|@SITE_FILES@|$files|" web/page/sw.js >"$site"/sw.js

[[ "${1:-}" == "--build-only" ]] && exit 0
echo "Pawnfall in a browser: http://localhost:8000/"
cd "$site"
exec python3 -m http.server 8000 --bind 127.0.0.1
