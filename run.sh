#!/usr/bin/env bash
# Installs what is missing, builds the show with its content and starts it;
# arguments go to marovy (./run.sh --window).
# ./run.sh --web builds the show for the web into build-web/site and serves
# it on http://127.0.0.1:8000/ (another port: ZK_WEB_PORT).
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps
if [ "${1:-}" = "--web" ]; then
  ./scripts/build-web
  port="${ZK_WEB_PORT:-8000}"
  echo "The show: http://127.0.0.1:$port/ (Ctrl-C stops the server)"
  exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web/site
fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target show
cd build/show
exec ./marovy "$@"
