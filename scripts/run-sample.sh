#!/usr/bin/env bash
# The main job: set up, build, make the bundled sample town in each of the four editions and convert
# each (extra arguments go to every veldrin-cli convert, e.g. --target sa --img).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
mkdir -p sample
for edition in lcs-ps2 vcs-ps2 lcs-psp vcs-psp; do
  ./build/veldrin-testlevel sample --name "town-$edition" --edition "$edition" >/dev/null
  echo "== sample/town-$edition.lvz ($edition)"
  ./build/veldrin-cli convert "sample/town-$edition.lvz" --edition "$edition" --ide --blank-col "$@"
done
echo "Output: sample/town-*/"
