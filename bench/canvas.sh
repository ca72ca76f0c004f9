#!/usr/bin/env bash
# Canvas figures of lumenvas, on a private Xvfb screen inside a private board:
#   - start-up: launch to the first presented frame, all fonts and pictures
#     registered (the first command waits in the pipe; its echo comes just
#     before that frame's present);
#   - resident memory after start-up and after drawing 2000 distinct CJK
#     glyphs, split into heap/anonymous and file-backed pages;
#   - text throughput, first draw and cached (bench/canvas_text.cpp).
# usage: bench/canvas.sh [build-dir]     (as root, after a build)
set -euo pipefail
cd "$(dirname "$0")/.."
build="$(realpath "${1:-build}")"
here="$(pwd)"
work="$(mktemp -d -p /var/tmp)"  # outside /tmp, which the board replaces
trap 'rm -rf "$work"' EXIT

/usr/bin/python3 - "$work/cjk.txt" <<'PY'
import json, sys
# 2000 distinct Chinese characters in 50 labels of 40, then a marker.
lines = [json.dumps({"call": "fillStyle", "args": ["white"]}),
         json.dumps({"call": "font", "args": ["400 16px ProximaNova"]})]
for i in range(50):
    text = "".join(chr(0x4E00 + i * 40 + k) for k in range(40))
    lines.append(json.dumps({"call": "fillText", "args": [text, 10, 20 + (i % 30) * 19]}, ensure_ascii=False))
lines.append(json.dumps({"call": "drawFrame"}))
lines.append(json.dumps({"call": "cjkDone"}))
lines.append(json.dumps({"call": "drawFrame"}))
open(sys.argv[1], "w").write("\n".join(lines) + "\n")
PY

cat > "$work/inside.sh" <<'INNER'
set -euo pipefail
build="$1"; work="$2"
Xvfb :5 -screen 0 1024x600x24 -nolisten tcp >/dev/null 2>&1 &
for _ in $(seq 200); do [ -S /tmp/.X11-unix/X5 ] && break; sleep 0.02; done
export DISPLAY=:5
mkdir -p -m 0700 /tmp/xdg
export XDG_RUNTIME_DIR=/tmp/xdg

waitFor() {  # file text
  for _ in $(seq 2000); do grep -q "$2" "$1" 2>/dev/null && return 0; sleep 0.005; done
  echo "timed out waiting for $2" >&2; return 1
}
memory() {  # pid label
  awk -v label="$2" '/^(VmRSS|RssAnon|RssFile):/ {v[$1] = $2} END {
    printf "%-24s VmRSS %7d kB  RssAnon (heap etc.) %7d kB  RssFile %7d kB", label, v["VmRSS:"], v["RssAnon:"], v["RssFile:"]}' "/proc/$1/status"
  # Resident pages of the executable itself: code plus the embedded files.
  awk -v exe="$(readlink "/proc/$1/exe")" '$1 ~ /^[0-9a-f]+-/ {mine = ($6 == exe)} mine && $1 == "Rss:" {kb += $2}
    END {printf "  of it lumenvas itself %6d kB\n", kb}' "/proc/$1/smaps"
}
times=()
for run in 1 2 3 4 5; do
  rm -f /tmp/lumenvas
  mkfifo -m 0666 /tmp/lumenvas
  # Blocks until lumenvas opens the pipe, then the command waits there.
  ( printf '{"call":"startupDone"}\n{"call":"drawFrame"}\n' > /tmp/lumenvas ) &
  start=$(date +%s%N)
  "$build/display/lumenvas" > "$work/out.txt" 2>&1 &
  pid=$!
  waitFor "$work/out.txt" startupDone
  times+=($(( ($(date +%s%N) - start) / 1000000 )))
  if [ $run -eq 5 ]; then
    sleep 0.3
    memory $pid "after start-up:"
    cat "$work/cjk.txt" > /tmp/lumenvas
    waitFor "$work/out.txt" cjkDone
    sleep 0.3
    memory $pid "after 2000 CJK glyphs:"
  fi
  kill $pid; wait $pid 2>/dev/null || true
done
sorted=$(printf '%s\n' "${times[@]}" | sort -n | tr '\n' ' ')
echo "start-up to first present: median $(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p) ms (runs: $sorted)"
echo "embedded font bytes: $(stat -c %s "$build"/assets/fonts/* | awk '{s += $1} END {print s}') in read-only data"
"$build/bench/canvas_text_bench"
INNER

mkdir -p "$work/tmp"
"$build/tests/harness/boardns" --tmp "$work/tmp" -- bash "$work/inside.sh" "$build" "$work"
