#!/usr/bin/env bash
# The peak memory of packing a theme whose home-screen wallpaper is 8000 x 8000
# pixels: the whole `skinwright pack --force` (the open, the check and the
# pack), as the kernel accounts the finished process (/usr/bin/time -v,
# "Maximum resident set size"). The goal: under 400 MB.
#
#   bench/pack-peak-memory.sh prepare DIR [SKINWRIGHT]  # the project in DIR
#   bench/pack-peak-memory.sh run DIR [SKINWRIGHT]      # prints the peak
#
# run exits with 1 when the peak reaches the goal, 2 when the pack fails.
set -euo pipefail

mode=${1:?prepare or run}
dir=${2:?folder}
skinwright=${3:-build-rel/skinwright}
goal_mb=400

if [ "$mode" = prepare ]; then
  missing=()
  [ -x /usr/bin/time ] || missing+=(time)
  command -v python3 >/dev/null || missing+=(python3)
  if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
    $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
  rm -rf "$dir"
  mkdir -p "$dir/out"
  "$skinwright" create --name big --dir "$dir/projects" --home "$dir/home" >/dev/null
  wallpaper="$dir/projects/big/big/launcher/content/res/drawable-xxhdpi/wallpaper_grass.png"
  # An opaque 8-bit RGB PNG whose rows all differ, as in a photograph.
  python3 - "$wallpaper" <<'PY'
import struct, sys, zlib
size = 8000
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
packer = zlib.compressobj(1)
width = 3 * size
base = bytes((x * 7 + x // 3) & 255 for x in range(width)) * 2
data = []
for y in range(size):
    # Each row shifted from the last: every row differs.
    start = (y * 3) % width
    data.append(packer.compress(b"\0" + base[start:start + width]))
data.append(packer.flush())
with open(sys.argv[1], "wb") as out:
    out.write(b"\x89PNG\r\n\x1a\n")
    out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 2, 0, 0, 0)))
    out.write(chunk(b"IDAT", b"".join(data)))
    out.write(chunk(b"IEND", b""))
PY
  echo "8000x8000 wallpaper in $wallpaper"
  exit 0
fi

report="$dir/time.txt"
if ! /usr/bin/time -v -o "$report" "$skinwright" pack "$dir/projects/big/big.wtpj" --name big \
  --out "$dir/out" --home "$dir/home" --force >/dev/null 2>"$dir/pack.err"; then
  echo "the pack failed:" >&2
  cat "$dir/pack.err" >&2
  exit 2
fi
kb=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$report")
mb=$(((kb + 1023) / 1024))
echo "peak ${mb} MB (goal: under ${goal_mb} MB)"
[ "$mb" -lt "$goal_mb" ]
