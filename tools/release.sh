#!/usr/bin/env bash
# Builds both Windows programs in release mode and writes the release into
# dist/: the two programs, the setup programs, RELEASE.txt with the version
# and SHA256SUMS over every file (check: cd dist && sha256sum -c SHA256SUMS).
# The toolchain and makensis are what tools/test.sh installs.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

for tool in cmake makensis x86_64-w64-mingw32-g++ i686-w64-mingw32-g++ sha256sum; do
    if ! command -v "$tool" >/dev/null; then
        echo "release: $tool is missing; tools/test.sh installs what is needed" >&2
        exit 1
    fi
done

version=$(sed -n 's/^project(Slumberhold VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
if [ -z "$version" ]; then
    echo "release: no version in CMakeLists.txt" >&2
    exit 1
fi

jobs=$(nproc 2>/dev/null || echo 2)
build() {  # build <dir> <toolchain>
    cmake -S "$root" -B "$root/build/$1" -DCMAKE_BUILD_TYPE=Release \
          -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$2" >/dev/null
    cmake --build "$root/build/$1" --target Slumberhold -j"$jobs"
}
echo "== building Slumberhold.exe for x86_64 (release)"
build release-win64 mingw-x86_64.cmake
echo "== building Slumberhold.exe for i686 (release)"
build release-win32 mingw-i686.cmake

dist=$root/dist
rm -rf "$dist"
mkdir -p "$dist/x64" "$dist/x86"
cp "$root/build/release-win64/Slumberhold.exe" "$dist/x64/"
cp "$root/build/release-win32/Slumberhold.exe" "$dist/x86/"

echo "== building the setup programs"
setup=Slumberhold-$version-setup.exe
setup64=Slumberhold-$version-setup-x64.exe
installer/make-setup.sh "$dist/$setup" "$dist/x64/Slumberhold.exe" "$dist/x86/Slumberhold.exe"
installer/make-setup.sh "$dist/$setup64" "$dist/x64/Slumberhold.exe"

commit=$(git describe --always --dirty 2>/dev/null || echo unknown)
cat > "$dist/RELEASE.txt" <<TEXT
Slumberhold $version
Built $(date -u '+%Y-%m-%d %H:%M UTC') from commit $commit.

$setup      setup for 32-bit and 64-bit Windows: installs the program of the machine's width
$setup64  setup for 64-bit Windows only
x64/Slumberhold.exe  the program for 64-bit Windows
x86/Slumberhold.exe  the program for 32-bit Windows
SHA256SUMS           check the files with: sha256sum -c SHA256SUMS
TEXT

(cd "$dist" && find . -type f ! -name SHA256SUMS | sed 's|^\./||' | LC_ALL=C sort | xargs -d '\n' sha256sum > SHA256SUMS)
echo "== release $version in dist/:"
cat "$dist/SHA256SUMS"
