#!/usr/bin/env bash
# The report's 3D view: its own WebGL2 code against the same reach of three.js (renderer, instanced
# meshes, shader material, textures, picking, orbit controls), both bundled and minified by esbuild.
# Prints the sizes (plain and gzip) and the time headless Chromium takes to load and run each script,
# median of RUNS (default 7), as ratios. The packages go into a temporary folder, pinned here, and are
# removed with it; the project's own node_modules (puppeteer-core) drives the browser.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
runs=${RUNS:-7}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && npm init -y >/dev/null && npm install --no-save --no-audit --no-fund --ignore-scripts three@0.187.0 esbuild@0.28.2 >/dev/null 2>&1 \
  && node node_modules/esbuild/install.js >/dev/null 2>&1 || true)
cat >"$work/three-view.js" <<'JS'
import { WebGLRenderer, Scene, PerspectiveCamera, InstancedMesh, BufferGeometry, BufferAttribute, ShaderMaterial,
  Texture, DataTexture, Raycaster, Vector2, Matrix4, Quaternion, Vector3, Color } from "three";
import { OrbitControls } from "three/examples/jsm/controls/OrbitControls.js";
window.parts = [WebGLRenderer, Scene, PerspectiveCamera, InstancedMesh, BufferGeometry, BufferAttribute, ShaderMaterial,
  Texture, DataTexture, Raycaster, Vector2, Matrix4, Quaternion, Vector3, Color, OrbitControls];
JS
# The program's own script, as the report writes it.
"$build/veldrin-testlevel" "$work" --name town >/dev/null
"$build/veldrin-cli" convert "$work/town.lvz" --target vc --ide --report --out "$work/out" >/dev/null 2>&1
cp "$work/out/town-report/viewer.js" "$work/own-view.js"
esbuild="$work/node_modules/.bin/esbuild"
"$esbuild" "$work/three-view.js" --bundle --minify --format=iife --outfile="$work/three.min.js" --log-level=warning
"$esbuild" "$work/own-view.js" --minify --outfile="$work/own.min.js" --log-level=warning
for f in own-view.js own.min.js three.min.js; do gzip -9 -k "$work/$f"; done
for f in own-view.js own.min.js three.min.js; do
  printf '<!DOCTYPE html><script>window.t0 = performance.now();</script><script src="%s"></script><script>window.loaded = performance.now() - window.t0;</script>\n' "$f" >"$work/${f%.js}.html"
done
node --input-type=module - "$work" "$runs" <<'JS'
import puppeteer from "puppeteer-core";
import { statSync } from "node:fs";
const [work, runs] = process.argv.slice(2);
const browser = await puppeteer.launch({ executablePath: "/usr/bin/chromium", headless: true,
  args: ["--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader"] });
const median = (v) => v.sort((a, b) => a - b)[v.length >> 1];
const result = {};
for (const name of ["own-view", "own.min", "three.min"]) {
  const times = [];
  for (let i = 0; i < Number(runs); i++) {
    const page = await browser.newPage();
    await page.goto(`file://${work}/${name}.html`);
    times.push(await page.evaluate(() => window.loaded));
    await page.close();
  }
  result[name] = { bytes: statSync(`${work}/${name}.js`).size, gzip: statSync(`${work}/${name}.js.gz`).size, ms: median(times) };
  console.log(`${name}: ${result[name].bytes} bytes, ${result[name].gzip} gzipped, script loaded and run in ${result[name].ms.toFixed(2)} ms (median)`);
}
const o = result["own.min"], t = result["three.min"];
console.log(`three.js bundle / own code, both minified: size ${(t.bytes / o.bytes).toFixed(1)}x, gzipped ${(t.gzip / o.gzip).toFixed(1)}x, load ${(t.ms / o.ms).toFixed(1)}x`);
await browser.close();
JS
