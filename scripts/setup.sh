#!/usr/bin/env bash
# Installs the Debian packages Veldrin builds with, when they are missing.
set -euo pipefail
# qt6-base-dev builds the desktop application (its offscreen platform runs the window tests without a
# display); fonts-dejavu-core gives that platform a font to draw with. CLI11 parses the command line,
# Highway gives the portable vector code, libpng reads the report's pictures back in the tests; ISA-L
# (libisal) compresses them, libcrypto hashes the written files and nlohmann-json writes the report's data. stb and
# libsquish are the peers the benchmarks compare against (bench/ only). clang with its libFuzzer
# runtime builds the fuzz targets. chromium, nodejs and npm run the report page's tests. libdeflate
# inflates the levels and the game data.
packages=(g++ cmake ninja-build pkg-config zlib1g-dev libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev fonts-dejavu-core libcli11-dev libhwy-dev libpng-dev nlohmann-json3-dev
  libstb-dev libsquish-dev clang libclang-rt-14-dev chromium libdeflate-dev libssl-dev
  libisal-dev)
# Node.js may come from elsewhere than Debian (whose npm package then conflicts with it): only a
# machine without npm gets Debian's.
command -v npm >/dev/null 2>&1 || packages+=(nodejs npm)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# The report page's tests drive Chromium with the npm packages pinned in package-lock.json.
root=$(cd "$(dirname "$0")/.." && pwd)
if [ ! -d "$root/node_modules" ] || [ "$root/package-lock.json" -nt "$root/node_modules" ]; then
  (cd "$root" && npm ci --ignore-scripts --no-audit --no-fund)
fi
