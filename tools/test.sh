#!/usr/bin/env bash
# Builds Pelto and runs every test on Wine: installs what is missing, configures the cross build, builds it and
# the clang build, runs clang-tidy over the program, and runs ctest. Wine's server for the test prefix is stopped
# again at the end.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/setup.sh
cmake --preset wine
cmake --build --preset wine
# The second compiler keeps the sources free of what only GCC takes: the program and the benchmark, no warning.
cmake --preset clang
cmake --build --preset clang
bash tools/tidy.sh

status=0
ctest --preset wine "$@" || status=$?
WINEPREFIX="$PWD/build/wineprefix" wineserver -k 2>/dev/null || true
exit $status
