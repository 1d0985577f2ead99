#!/usr/bin/env bash
# Installs what is missing, builds, and shows the program's main job on a demo application
# directory (virtual keyboard, fresh Data/).
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKB_BUILD_GUI=ON -DKB_BUILD_BENCH=ON
cmake --build build -j"$jobs"

demo=build/demo
echo "== demo application directory: $demo (virtual keyboard in $demo/KB/Torvane_3.so)"
echo "== profiles"
"$demo/kbctl" --app-dir "$demo" profiles
echo "== the selected profile"
"$demo/kbctl" --app-dir "$demo" show
echo "== the keyboard"
"$demo/kbctl" --app-dir "$demo" devices
echo "== apply the selected profile (20 ms after every report)"
"$demo/kbctl" --app-dir "$demo" apply
