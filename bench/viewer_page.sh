#!/usr/bin/env bash
# The report page's 3D view in headless Chromium (WebGL2 on its software renderer): the time from
# opening index.html from disk to the view's first full frame (window.veldrinReady), median of RUNS
# (default 3), for the sample town and the city-scale level (VC, one dictionary, mip-maps, IDE, IMG,
# --jobs 2), with the size of each scene.js against the level's game files. SHOTS=DIR keeps a
# screenshot of each view (frame all, and flown to one model) there.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
runs=${RUNS:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for level in town city; do
  flag=""; [ "$level" = city ] && flag="--city"
  "$build/veldrin-testlevel" "$work" --name "$level" $flag >/dev/null
  "$build/veldrin-cli" convert "$work/$level.lvz" --target vc --ide --img --mipmaps --jobs 2 --report --out "$work/out" >/dev/null 2>&1
done
node --input-type=module - "$work/out" "$runs" "${SHOTS:-}" <<'JS'
import puppeteer from "puppeteer-core";
import { readdirSync, statSync } from "node:fs";
const [out, runs, shots] = process.argv.slice(2);
const folderBytes = (dir) => readdirSync(dir, { withFileTypes: true })
  .reduce((s, e) => s + (e.isDirectory() ? folderBytes(`${dir}/${e.name}`) : statSync(`${dir}/${e.name}`).size), 0);
const browser = await puppeteer.launch({ executablePath: "/usr/bin/chromium", headless: true,
  args: ["--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader"] });
const median = (v) => v.sort((a, b) => a - b)[v.length >> 1];
const ready = {};
for (const level of ["town", "city"]) {
  const times = [];
  for (let i = 0; i < Number(runs); i++) {
    const page = await browser.newPage();
    await page.setViewport({ width: 1280, height: 900 });
    const started = Date.now();
    await page.goto(`file://${out}/${level}-report/index.html#view`);
    await page.waitForFunction("window.veldrinReady === true", { timeout: 300000, polling: 20 });
    times.push(Date.now() - started);
    if (shots && i === 0) {
      const canvas = await page.$("#veldrin-canvas");
      await canvas.scrollIntoView();
      await canvas.screenshot({ path: `${shots}/${level}-all.png` });
      const name = await page.evaluate(() => document.querySelector("#veldrin-names option")?.value);
      await page.evaluate((n) => window.veldrinFlyTo(n), name);
      await page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
      await canvas.screenshot({ path: `${shots}/${level}-model.png` });
    }
    await page.close();
  }
  ready[level] = median(times);
  const scene = statSync(`${out}/${level}-report/scene.js`).size, game = folderBytes(`${out}/${level}`);
  console.log(`${level}: first full frame ${ready[level]} ms (median of ${runs}); scene.js ${(scene / 1048576).toFixed(2)} MB = ${(scene / game).toFixed(2)} x the game files (${(game / 1048576).toFixed(2)} MB)`);
}
console.log(`city / town load time: ${(ready.city / ready.town).toFixed(1)}x`);
await browser.close();
JS
