#!/usr/bin/env bash
# Installs what is missing, builds the show with its content and starts it;
# arguments go to marovy (./run.sh --window).
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target show
cd build/show
exec ./marovy "$@"
