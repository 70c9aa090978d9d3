#!/bin/sh
# Pictures of the settings window, one PNG per visible page, for a person
# to look at.
#
#   tools/screenshots.sh [OUTDIR] [SWITCH...]
#
# Starts Slumberhold.exe of the x86_64 build (SLH_WIN64_DIR, build/win64 by
# default) under Wine in a fresh temporary prefix on a virtual display
# (Xvfb, 1280x1024, 96 DPI), with the switches given (DEBUG and IDLE show the
# debug pages, DEBUG the test page "R&D"), and writes OUTDIR/NN-Caption.png
# (screenshots/ by default), and last the text viewer with a report.
# Set SLH_FAKE_MEDIA_CENTER=0 to leave out the Media Center pages, which a
# stand-in for Media Center (eHome_FakeTarget) shows otherwise.
set -eu

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${SLH_WIN64_DIR:-$ROOT/build/win64}
OUT=${1:-screenshots}
[ $# -gt 0 ] && shift
PROGRAM=$BUILD/Slumberhold.exe
for file in "$PROGRAM" "$BUILD/slhui.exe" "$BUILD/slhboxwatch.exe"; do
    [ -f "$file" ] || { echo "screenshots: $file is missing; build the win64 tree first" >&2; exit 1; }
done
for tool in wine Xvfb; do
    command -v $tool >/dev/null || { echo "screenshots: $tool is missing (tools/test.sh installs it)" >&2; exit 1; }
done
# The 64-bit loader where Debian keeps it, else the wrapper.
WINE64=wine
for loader in /usr/lib/wine/wine64 /usr/lib64/wine/wine64; do
    [ -x "$loader" ] && { WINE64=$loader; break; }
done
mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)

WORK=$(mktemp -d)
XVFB_PID=
PROGRAM_PID=
WATCH_PID=
cleanup() {
    for pid in $PROGRAM_PID $WATCH_PID; do kill "$pid" 2>/dev/null || true; done
    WINEPREFIX=$WORK/prefix wineserver -k 2>/dev/null || true
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT INT TERM

# Xvfb picks a free display and writes its number.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp 3>"$WORK/display" 2>/dev/null &
XVFB_PID=$!
for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.1; done
[ -s "$WORK/display" ] || { echo "screenshots: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(cat "$WORK/display")"
export WINEPREFIX=$WORK/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

echo "screenshots: making a Wine prefix" >&2
"$WINE64" wineboot -i >/dev/null 2>&1
KEY='HKLM\Software\Velderane\Slumberhold'
if [ "${SLH_FAKE_MEDIA_CENTER:-1}" = 1 ]; then
    wine reg add "$KEY" /v eHome_FakeTarget /t REG_DWORD /d 1 /f >/dev/null 2>&1
fi

# The boxes of Wine's missing power functions are answered as they come.
"$WINE64" "$BUILD/slhboxwatch.exe" 'C:\boxes.txt' >/dev/null 2>&1 &
WATCH_PID=$!
"$WINE64" "$PROGRAM" "$@" >/dev/null 2>&1 &
PROGRAM_PID=$!
ui() { "$WINE64" "$BUILD/slhui.exe" Slumberhold "$@"; }
ui wait 60 || { echo "screenshots: the settings window did not appear" >&2; exit 1; }

count=0
ui tabs | tr -d '\r' > "$WORK/tabs"
while IFS= read -r caption; do
    count=$((count + 1))
    name=$(printf '%02d-%s' "$count" "$(echo "$caption" | tr -c 'A-Za-z0-9\n' '_')")
    ui page "$caption"
    ui shot "Z:$(echo "$OUT/$name.png" | tr / '\\')"
    echo "$OUT/$name.png"
done < "$WORK/tabs"
[ "$count" -gt 0 ] || { echo "screenshots: the window has no pages" >&2; exit 1; }

# The viewer, with a report of the powercfg.exe stand-in.
if [ -f "$BUILD/powercfg.exe" ] && [ -f "$BUILD/slhviewer.exe" ] && grep -qx Devices "$WORK/tabs"; then
    cp "$BUILD/powercfg.exe" "$WINEPREFIX/drive_c/windows/system32/powercfg.exe"
    printf '%s\t0\t0\t%s\n' -lastwake \
        'Wake History Count - 1\r\nWake History [0]\r\n  Wake Source Count - 1\r\n  Wake Source [0]\r\n    Type: Power Button\r\n' \
        > "$WINEPREFIX/drive_c/powercfg.script"
    ui page Devices
    ui press "Last wake"
    name=$(printf '%02d-Viewer' "$((count + 1))")
    if "$WINE64" "$BUILD/slhviewer.exe" shot "Z:$(echo "$OUT/$name.png" | tr / '\\')" 30000; then
        echo "$OUT/$name.png"
    fi
    "$WINE64" "$BUILD/slhviewer.exe" close 10000 >/dev/null
fi
