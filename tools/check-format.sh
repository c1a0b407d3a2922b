#!/usr/bin/env bash
# Fails, naming the places, when a C++ file of the program, the tests or the benchmark is not laid out as the root
# .clang-format says. `clang-format -i` on the named files mends them.
set -euo pipefail
cd "$(dirname "$0")/.."
find src tests bench \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 clang-format --dry-run --Werror
