#!/usr/bin/env bash
# Repair time against file size: a 1 MB recording and a 3.5 GiB sparse one.
# The tool reads 200 bytes and truncates, so both should cost the same.
#   bench/wavmend.sh [build-dir]
set -euo pipefail
build="${1:-build}"
tool="$(realpath "$build/wavtool/wavmend")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# A canonical 44-byte header with both sizes at -1 and block alignment 4.
header="$work/header"
printf 'RIFF\xff\xff\xff\xffWAVEfmt \x10\0\0\0\x01\0\x02\0\x40\x1f\0\0\0\x7d\0\0\x04\0\x10\0data\xff\xff\xff\xff' > "$header"

for size in 1000003 3758096387; do
  hyperfine -N --warmup 3 --runs 100 --style basic --export-json "$work/$size.json" \
    --prepare "bash -c 'cp $header $work/take.wav && truncate -s $size $work/take.wav'" \
    "$tool $work/take.wav $work/final.wav" >/dev/null
  python3 -c "import json,sys; r=json.load(open(sys.argv[1]))['results'][0]; print(f'{int(sys.argv[2]):>12} bytes: median {r[\"median\"]*1e6:8.0f} us, min {r[\"min\"]*1e6:8.0f} us')" "$work/$size.json" "$size"
done
