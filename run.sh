#!/usr/bin/env bash
# Sets up, builds, makes the demo archives in build/demo and lists one of them.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
scripts/setup.sh
cmake -S . -B build/host -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/host -j"$(nproc)"
build/host/tests/support/make-demo-archives build/demo
build/host/cli/zodovu-cli list build/demo/disc2.pak
