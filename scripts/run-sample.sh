#!/usr/bin/env bash
# The main job: set up, build, make the bundled sample level and convert it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
mkdir -p sample
./build/veldrin-testlevel sample --name town --edition lcs-ps2
./build/veldrin-cli convert sample/town.lvz --ide --blank-col "$@"
echo "Output: sample/town/"
