#!/usr/bin/env bash
# Installs what is missing, builds Skinwright and starts it. On the first run a
# demo theme is made from the bundled template in the home folder's work/ and
# the editor opens with it.
set -euo pipefail
cd "$(dirname "$0")"
./tools/install-deps.sh
if [ ! -f build/CMakeCache.txt ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build build --target skinwright template_copy
home="${SKINWRIGHT_HOME:-$PWD/build}"
demo="$home/work/demo/demo.wtpj"
if [ ! -f "$demo" ]; then
  build/skinwright create --home "$home" --name demo --dir "$home/work" --theme-name "Demo"
fi
exec build/skinwright serve --home "$home" --open "$demo" "$@"
