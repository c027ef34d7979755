#!/usr/bin/env bash
# Builds the Debian package in build-deb with Debian's hardening flags and prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
# dpkg-buildflags gives Debian's flags, with every hardening feature; CMake reads no CPPFLAGS,
# so they join the compile flags.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
export CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
export CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
export LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
# Whoever builds the package may name themselves its maintainer, as with Debian's own tools.
maintainer=(-UPAWNFALL_MAINTAINER)
[[ -n ${DEBFULLNAME:-} && -n ${DEBEMAIL:-} ]] &&
  maintainer=(-DPAWNFALL_MAINTAINER="$DEBFULLNAME <$DEBEMAIL>")
cmake -S . -B build-deb -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPAWNFALL_DEBIAN=ON \
  -DPAWNFALL_TESTS=OFF -DPAWNFALL_BENCH=OFF "${maintainer[@]}" >/dev/null
cmake --build build-deb -j"$(nproc)"
rm -rf build-deb/packages
(cd build-deb && cpack >/dev/null)
ls build-deb/packages/*.deb
