#!/usr/bin/env bash
# Builds the Debian packages in build-deb as a distribution does: the release tarball becomes the
# upstream tarball, debian/ is added to it, and dpkg-buildpackage makes the source package and the
# binary ones (pawnfall, and pawnfall-dbgsym with the debugging symbols). Prints the path of the
# pawnfall package; its .changes file lies beside it. The build's log is build-deb/build.log.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh --test --package

# The tarball's version is the project's; the package's, in debian/changelog, must start with it.
tarball=$(bash tools/release.sh build-release | tail -n 1)
version=$(basename "$tarball" .tar.gz)
version=${version#pawnfall-}
package_version=$(dpkg-parsechangelog -l debian/changelog -S Version)
if [[ ${package_version%-*} != "$version" ]]; then
  echo "package.sh: debian/changelog is at $package_version, the project at $version" >&2
  exit 1
fi

rm -rf build-deb
mkdir -p build-deb
cp "$tarball" "build-deb/pawnfall_$version.orig.tar.gz"
tar -xzf "$tarball" -C build-deb
cp -r debian "build-deb/pawnfall-$version/"
export DEB_BUILD_OPTIONS="parallel=$(nproc) ${DEB_BUILD_OPTIONS:-}"
if ! (cd "build-deb/pawnfall-$version" && dpkg-buildpackage -us -uc) >build-deb/build.log 2>&1
then
  tail -n 40 build-deb/build.log >&2
  echo "package.sh: dpkg-buildpackage failed; the whole log is build-deb/build.log" >&2
  exit 1
fi
ls "build-deb/pawnfall_${package_version}_$(dpkg --print-architecture).deb"
