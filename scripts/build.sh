#!/usr/bin/env bash
# Installs what is missing, then configures and builds into the given folder (default: build).
# With --sanitize, builds with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build
flags=()
for arg in "$@"; do
  case "$arg" in
    --sanitize) dir=build-sanitize; flags+=(-DQLX_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug) ;;
    *) echo "unknown option: $arg" >&2; exit 2 ;;
  esac
done
bash scripts/setup.sh
cmake -S . -B "$dir" "${flags[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)"
echo "$dir"
