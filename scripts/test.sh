#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
export QT_QPA_PLATFORM=offscreen
export QTEST_FUNCTION_TIMEOUT=120000
ctest --test-dir build --output-on-failure --timeout 600
