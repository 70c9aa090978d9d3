#!/usr/bin/env bash
# The engine's cost at rest, side by side in one run (not a test: it prints
# figures and gates nothing):
#   - Slumberhold.exe ENGINE under Wine: its share of one core over 60 s at
#     rest, and its private dirty memory beside that of a plain Win32 window
#     program (slhrefwindow.exe) and of the same program with a thread, a
#     power-setting notification, a file mapping and a one-second timer;
#   - the Google Benchmark of one awake-state evaluation with 300, 1,000 and
#     3,000 processes (the minimum of the repetitions) and its slope.
# Run it after tools/test.sh, which builds build/native and build/win64.
#   tools/bench.sh [--seconds N] [--repetitions N] [--detail]
# --detail also prints each program's private memory by kind of mapping.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

seconds=60
repetitions=10
detail=0
while (($#)); do
    case $1 in
    --seconds) seconds=$2; shift ;;
    --repetitions) repetitions=$2; shift ;;
    --detail) detail=1 ;;
    *) echo "usage: $0 [--seconds N] [--repetitions N] [--detail]" >&2; exit 2 ;;
    esac
    shift
done

win64=${SLH_WIN64_DIR:-$root/build/win64}
bench=$root/build/native/slh_evaluate_awake_state_bench
engine=$win64/Slumberhold.exe
reference=$(find "$win64" -maxdepth 3 -name slhrefwindow.exe -print -quit)
for file in "$bench" "$engine" "$reference"; do
    [ -n "$file" ] && [ -f "$file" ] || { echo "missing: ${file:-slhrefwindow.exe} (run tools/test.sh first)" >&2; exit 1; }
done

# Wine needs a display: start under a virtual one when there is none.
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a "$0" --seconds "$seconds" --repetitions "$repetitions" $( ((detail)) && echo --detail)
fi

echo "== machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"

# The 64-bit loader directly where Debian keeps it, else whatever "wine" is.
wine=wine
for loader in /usr/lib/wine/wine64 /usr/lib64/wine/wine64; do
    [ -x "$loader" ] && { wine=$loader; break; }
done

prefix=$(mktemp -d)
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wineserver -k 2>/dev/null || true
    rm -rf "$prefix"
}
trap cleanup EXIT
"$wine" wineboot -i >/dev/null 2>&1
powercfg=$(find "$win64" -maxdepth 3 -name powercfg.exe -print -quit)
[ -n "$powercfg" ] && cp "$powercfg" "$prefix/drive_c/windows/system32/"

# The Linux process of a Windows program of this prefix, by its file name.
pid_of() {  # pid_of <exe name> <argument or "">
    local deadline=$((SECONDS + 60)) proc
    while ((SECONDS < deadline)); do
        for proc in /proc/[0-9]*; do
            grep -qz "WINEPREFIX=$prefix\$" "$proc/environ" 2>/dev/null || continue
            tr '\0' ' ' <"$proc/cmdline" 2>/dev/null | grep -q "$1 *$2 *\$" && { echo "${proc#/proc/}"; return; }
        done
        sleep 0.5
    done
    echo "no process $1 $2" >&2
    return 1
}

start() {  # start <exe> <arguments...>
    "$wine" "$@" >/dev/null 2>&1 &
    pids+=($!)
}
start "$engine" ENGINE
start "$reference"
start "$reference" thread power mapping timer
enginePid=$(pid_of Slumberhold.exe ENGINE)
referencePid=$(pid_of slhrefwindow.exe "")
fullPid=$(pid_of slhrefwindow.exe "thread power mapping timer")

# At rest: past the engine's start-up work.
sleep 15
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
before=$(ticks "$enginePid")
sleep "$seconds"
after=$(ticks "$enginePid")
hz=$(getconf CLK_TCK)
cpu=$(awk -v t=$((after - before)) -v hz="$hz" -v s="$seconds" 'BEGIN {printf "%.3f", 100 * t / hz / s}')

dirty() { awk '/^Private_Dirty:/ {print $2}' "/proc/$1/smaps_rollup"; }
engineKb=$(dirty "$enginePid")
referenceKb=$(dirty "$referencePid")
fullKb=$(dirty "$fullPid")

echo "== at rest under Wine"
echo "engine CPU over ${seconds} s:                      ${cpu} % of a core"
echo "engine private dirty:                         ${engineKb} kB"
echo "reference window program private dirty:       ${referenceKb} kB"
echo "reference + thread, power, mapping, timer:    ${fullKb} kB"
awk -v e="$engineKb" -v r="$referenceKb" -v f="$fullKb" \
    'BEGIN {printf "engine / reference: %.2f   engine / reference with all: %.2f\n", e / r, e / f}'

if ((detail)); then
    # Private dirty kB by kind of mapping: Wine's and Windows' modules, the
    # executable, the heap and stacks (anonymous), the rest.
    breakdown() {
        awk -v exe="$2" '
            /^[0-9a-f]+-[0-9a-f]+ / {
                path = $6
                if (path == "") kind = "anonymous"
                else if (path ~ /\[heap\]/) kind = "[heap]"
                else if (path ~ /\[stack/) kind = "[stack]"
                else if (index(path, exe)) kind = "executable"
                else if (path ~ /\/wine\//) kind = "wine modules"
                else if (path ~ /\.so/) kind = "other libraries"
                else kind = "other files"
            }
            /^Private_Dirty:/ { sum[kind] += $2 }
            END { for (k in sum) printf "  %-16s %6d kB\n", k, sum[k] }' "/proc/$1/smaps" | sort
    }
    echo "-- engine";                     breakdown "$enginePid" Slumberhold.exe
    echo "-- reference";                  breakdown "$referencePid" slhrefwindow.exe
    echo "-- reference with all options"; breakdown "$fullPid" slhrefwindow.exe
fi

echo "== one awake-state evaluation (CPU time, minimum of $repetitions runs)"
"$bench" --benchmark_repetitions="$repetitions" --benchmark_format=csv 2>/dev/null |
    awk -F, '$1 ~ /^"BM_EvaluateAwakeState\/[0-9]+"$/ {
                 split($1, part, "/"); n = part[2] + 0
                 if (!(n in best) || $4 + 0 < best[n]) best[n] = $4 + 0 }
             END {
                 for (i = 1; i <= 3; ++i) {
                     n = i == 1 ? 300 : i == 2 ? 1000 : 3000
                     if (n in best) printf "%5d processes: %8.2f us\n", n, best[n] }
                 if ((300 in best) && (3000 in best))
                     printf "slope: %.4f us per extra process (300 to 3,000)\n", (best[3000] - best[300]) / 2700 }'
