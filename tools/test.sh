#!/usr/bin/env bash
# Installs what is missing (Debian packages), builds the simulator build,
# both Windows builds and the instrumented simulator builds, and runs every
# test: the unit tests on the simulator, again under the sanitizers, the fuzz
# targets for a bounded time, then the integration tests of Slumberhold.exe
# under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

packages=(cmake g++ make libgtest-dev libbenchmark-dev clang libclang-rt-dev
          g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine wine64 xvfb x11-apps nsis)
missing=()
for package in "${packages[@]}"; do
    dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
if ((${#missing[@]})); then
    echo "== installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

jobs=$(nproc 2>/dev/null || echo 2)
build() {  # build <dir> <target|all> [cmake options...]
    local dir=$1 target=$2
    shift 2
    cmake -S "$root" -B "$root/build/$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$root/build/$dir" --target "$target" -j"$jobs"
}
echo "== building the simulator build"
build native all
echo "== building Slumberhold.exe for x86_64"
build win64 all -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake"
# The 32-bit program is built, not run: these machines cannot execute it.
echo "== building Slumberhold.exe for i686"
build win32 Slumberhold -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake"
# The Wine tests make and run their own 64-bit setup from build/win64.
echo "== building the setup programs"
installer/make-setup.sh build/setup/Slumberhold-setup.exe build/win64/Slumberhold.exe build/win32/Slumberhold.exe
installer/make-setup.sh build/setup/Slumberhold-setup-x64.exe build/win64/Slumberhold.exe
echo "== building the simulator build with the sanitizers"
build asan slh_unit_tests -DSLH_SANITIZE=ON
# libFuzzer comes with clang; without it the fuzz targets are left out.
fuzz=false
if command -v clang++ >/dev/null; then
    fuzz=true
    echo "== building the fuzz targets"
    build fuzz slh_fuzz_targets -DCMAKE_CXX_COMPILER=clang++ -DSLH_FUZZ=ON
fi

status=0
echo "== unit tests on the simulator"
ctest --test-dir "$root/build/native" -L unit --output-on-failure -j"$jobs" || status=1
echo "== unit tests on the simulator, with the sanitizers"
# The plain build plays the thousand random nights; under the sanitizers a
# quarter of them (other seeds) costs a quarter of the time and still runs
# every path of the night through the checks.
SLH_NIGHT_SEED=30000000 SLH_NIGHTS=250 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$root/build/asan" -L unit --output-on-failure -j"$jobs" || status=1
if $fuzz; then
    echo "== fuzz targets"
    ctest --test-dir "$root/build/fuzz" -L fuzz --output-on-failure -j"$jobs" || status=1
else
    echo "== fuzz targets: skipped, no clang++"
fi
echo "== integration tests under Wine"
# Each test has its own display, prefix and wineserver, so they may run side
# by side; the five minutes of the unattended wake's end overlap the others.
SLH_WIN64_DIR="$root/build/win64" ctest --test-dir "$root/build/native" -L wine --output-on-failure -j"$jobs" || status=1
exit $status
