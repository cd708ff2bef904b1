#!/usr/bin/env bash
# Builds the Debian package vamu-pelican in build/package:
#  - a lean Release build of what is installed only (no tests, no
#    benchmarks), with Debian's hardening flags;
#  - the .deb from CPack, its shared-library dependencies from
#    dpkg-shlibdeps, fonts and Qt platform plugins named by packaging/;
#  - the menu entry and the AppStream metainfo validated as packaged;
#  - lintian, which must report no error and no warning other than the
#    accepted ones listed below.
#   scripts/package.sh        (the last line printed is the package's path)
# Install it with: apt-get install ./build/package/vamu-pelican_<version>_<arch>.deb
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/package

# Lintian warnings accepted, one tag a line with the reason above it. None
# at present. Below the warnings lintian also tells (with -I), and they are
# left as they are: binary-has-unneeded-section .comment (the compiler's
# version note, a few bytes) and hardening-no-fortify-functions for
# vamu_pelican (it is built with -D_FORTIFY_SOURCE=2, but no call in it has
# a buffer size the compiler knows, so none became a checked call).
accepted=(
)

scripts/install-deps.sh

# Debian's build flags (fortify, stack protector, RELRO, bind now, PIE),
# without -g: the package is stripped, debug information would only cost
# build time here.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
strip_g() { sed -E 's/(^| )-g( |$)/ /g'; }
cflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CFLAGS | strip_g)"
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS | strip_g)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
cache=()
if command -v ccache >/dev/null; then
  cache=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# The configure log sits beside the build folder: on a fresh clone build/
# does not exist yet.
mkdir -p "$(dirname "$build")"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVP_BUILD_TESTS=OFF -DVP_BUILD_BENCH=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr "${cache[@]}" \
    -DCMAKE_C_FLAGS="$cflags" -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
    > "$build.configure.log" 2>&1 || { cat "$build.configure.log"; exit 1; }
cmake --build "$build" -j2

rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB > cpack.log 2>&1) || { cat "$build/cpack.log"; exit 1; }
debs=("$build"/*.deb)
deb=${debs[0]}

# The menu entry and the metainfo as they are in the package.
root=$build/deb-root
rm -rf "$root"
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root"/usr/share/applications/*.desktop
# The metainfo, and its menu entry and icon beside it.
appstreamcli validate-tree --no-net --explain "$root"

suppress=()
if [ ${#accepted[@]} -gt 0 ]; then
  suppress=(--suppress-tags "$(IFS=,; echo "${accepted[*]}")")
fi
lintian --fail-on error,warning "${suppress[@]}" "$deb"

echo "package: $(du -k "$deb" | cut -f1) KiB, installed $(du -sk "$root/usr" | cut -f1) KiB"
echo "$deb"
