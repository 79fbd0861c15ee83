#!/usr/bin/env bash
# Packs the program and card libraries of the test build through debian/ into a .deb (no second
# compile), and checks the package: lintian, its file list and dependencies, the launcher, metainfo
# and manual page, the versions that must agree, and the program run from the unpacked tree.
# Usage: DebPackageTest.sh SOURCE_DIR BUILD_DIR
set -euo pipefail

src=$1
build=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
source "$(dirname "$0")/InstalledProgram.sh"

# One version everywhere: the build's, the package's and the newest release of the metainfo.
version=$(dpkg-parsechangelog -l "$src/debian/changelog" -S Version)
grep -q "^project(Kelmo VERSION $version " "$src/CMakeLists.txt" ||
  fail "debian/changelog's version $version is not the one in CMakeLists.txt"
newest=$(grep -o -m1 '<release version="[^"]*"' "$src/resources/io.github.kelmo.Kelmo.metainfo.xml")
[[ "$newest" == "<release version=\"$version\"" ]] ||
  fail "the metainfo's newest release is $newest, the package's version $version"

# `make deb` after scripts/install-deps: every build dependency is one it installs.
build_depends=$(sed -n '/^Build-Depends:/,/^[^ ]/p' "$src/debian/control" | sed '$d' |
  sed 's/^Build-Depends://; s/([^)]*)//g' | tr ',' '\n' | tr -d ' ')
for p in $build_depends; do
  [[ "$p" == debhelper-compat ]] && p=debhelper
  grep -qE "(^| )$p( |$)" "$src/scripts/install-deps" || fail "scripts/install-deps lacks $p"
done

# The debug-symbols package is left out: nothing here reads it, and it costs a quarter of the time.
DEB_BUILD_OPTIONS=noautodbgsym "$src/scripts/build-deb" "$tmp/out" "$build" >/dev/null
deb=("$tmp"/out/kelmo_"$version"_*.deb)
[[ -f "${deb[0]}" ]] || fail "no kelmo_${version}_<arch>.deb was built"
lintian_out=$(lintian --fail-on error,warning "${deb[0]}" 2>&1) || fail "lintian: $lintian_out"

multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
expected=$(
  printf './usr/%s\n' bin/kelmo lib/"$multiarch"/kelmo/Btvid_32.so \
    lib/"$multiarch"/kelmo/Btvid_32-v4l2.so share/applications/kelmo.desktop \
    share/metainfo/io.github.kelmo.Kelmo.metainfo.xml share/man/man1/kelmo.1.gz \
    share/doc/kelmo/{copyright,changelog.gz,README.md.gz} \
    share/icons/hicolor/{16x16,22x22,24x24,32x32,48x48,64x64,128x128}/apps/kelmo.png | sort
)
actual=$(dpkg-deb -c "${deb[0]}" | awk '$1 !~ /^d/ { print $6 }' | sort)
[[ "$actual" == "$expected" ]] || fail "the package's files differ: $(diff <(echo "$expected") \
  <(echo "$actual") || true)"
depends=$(dpkg-deb -f "${deb[0]}" Depends)
for p in libqt6widgets6 libavformat libasound2; do
  grep -q "$p" <<<"$depends" || fail "Depends lacks $p: $depends"
done

dpkg-deb -x "${deb[0]}" "$tmp/root"
check_installed_files "$tmp/root/usr" "$tmp/root/usr/lib/$multiarch/kelmo"
check_installed_program "$tmp/root/usr" "$tmp/root/usr/lib/$multiarch/kelmo" "$tmp"
echo "packed ${deb[0]##*/} and ran it unpacked"
