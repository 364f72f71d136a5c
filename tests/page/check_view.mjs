// The report page's 3D view in headless Chromium (WebGL2 on its software renderer), driven by
// puppeteer-core: converts the sample town with a report, opens index.html from disk and checks what a
// modder would see. Usage: node check_view.mjs VELDRIN_CLI VELDRIN_TESTLEVEL [CHROMIUM]
// Exit status: 0 pass, 1 fail, 77 when no Chromium is installed (the test is then skipped).
import { execFileSync } from "node:child_process";
import { existsSync, mkdtempSync, readFileSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { pathToFileURL } from "node:url";
import { inflateSync } from "node:zlib";

const [cli, testLevel, chromium = "/usr/bin/chromium"] = process.argv.slice(2);
if (!existsSync(chromium)) {
  console.log(`SKIP: no Chromium at ${chromium}; scripts/setup.sh installs Debian's chromium`);
  process.exit(77);
}
let puppeteer;
try {
  puppeteer = (await import("puppeteer-core")).default;
} catch {
  console.log("FAIL: puppeteer-core is not installed; run `npm ci` in the source folder (scripts/setup.sh does)");
  process.exit(1);
}

const work = mkdtempSync(join(tmpdir(), "veldrin-page-"));
const failures = [];
const check = (ok, what) => {
  console.log((ok ? "ok   " : "FAIL ") + what);
  if (!ok) failures.push(what);
};

// Lines of one section of an IDE or IPL file, split into fields.
const section = (file, keyword) => {
  const lines = readFileSync(file, "latin1").split(/\r?\n/);
  const start = lines.findIndex((l) => l.trim().toLowerCase() === keyword);
  const end = lines.findIndex((l, i) => i > start && l.trim().toLowerCase() === "end");
  return lines.slice(start + 1, end).filter((l) => l.trim() && !l.startsWith("#")).map((l) => l.split(",").map((f) => f.trim()));
};

// The colours of a PNG screenshot's pixels, counted in a canvas of the page itself.
const distinctColours = (page, png) => page.evaluate(async (data) => {
  const image = await createImageBitmap(await (await fetch("data:image/png;base64," + data)).blob());
  const c = new OffscreenCanvas(image.width, image.height).getContext("2d");
  c.drawImage(image, 0, 0);
  const px = c.getImageData(0, 0, image.width, image.height).data;
  const seen = new Set();
  for (let i = 0; i < px.length && seen.size < 64; i += 4) seen.add((px[i] << 16) | (px[i + 1] << 8) | px[i + 2]);
  return seen.size;
}, Buffer.from(png).toString("base64"));

let browser;
try {
  execFileSync(testLevel, [work, "--name", "town"]);
  execFileSync(cli, ["convert", join(work, "town.lvz"), "--target", "sa", "--ide", "--night-prelight", "--report", "--out", join(work, "out")]);
  const folder = join(work, "out", "town-report");
  const manifest = JSON.parse(readFileSync(join(folder, "manifest.json"), "utf8"));
  const inst = section(join(work, "out", "town", "town.ipl"), "inst");
  const objs = section(join(work, "out", "town", "town.ide"), "objs");

  browser = await puppeteer.launch({
    executablePath: chromium, headless: true,
    args: ["--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader", "--window-size=1280,900"],
  });
  const page = await browser.newPage();
  await page.setViewport({ width: 1280, height: 900 });
  const errors = [], outside = [];
  page.on("console", (m) => { if (m.type() === "error") errors.push(m.text()); });
  page.on("pageerror", (e) => errors.push(e.message));
  const folderUrl = pathToFileURL(folder).href + "/";
  page.on("request", (r) => { if (!r.url().startsWith(folderUrl) && !r.url().startsWith("data:")) outside.push(r.url()); });
  await page.goto(folderUrl + "index.html");
  await page.waitForFunction("window.veldrinReady === true", { timeout: 60000 });

  // What the page counts against the manifest and the IPL; placed triangles from the IPL's lines.
  const raw = JSON.parse(readFileSync(join(folder, "scene.js"), "utf8").replace(/^window\.veldrinScene = /, "").replace(/;\s*$/, ""));
  const arrays = inflateSync(Buffer.from(raw.data, "base64"));
  const span = raw.arrays.find((a) => a.name === "modelTriangles");
  const counts = new Int32Array(arrays.buffer, arrays.byteOffset + span.offset, span.length);
  const triangles = new Map(raw.modelNames.map((name, i) => [name, counts[i]]));
  const status = await page.$eval("#veldrin-status", (e) => e.textContent);
  const [models, placements, placed] = (status.match(/\d+/g) || []).map(Number);
  check(models === manifest.counts.models && models === objs.length, `models shown ${models} = manifest ${manifest.counts.models} = IDE ${objs.length}`);
  check(placements === manifest.counts.placements && placements === inst.length, `placements shown ${placements} = manifest ${manifest.counts.placements} = IPL ${inst.length}`);
  const iplTriangles = inst.reduce((s, f) => s + (triangles.get(f[1]) ?? NaN), 0);
  check(placed === iplTriangles, `triangles placed ${placed} = the IPL's placements of the models' triangles ${iplTriangles}`);

  // The view is drawn, and dragging turns it.
  const canvas = await page.$("#veldrin-canvas");
  await canvas.scrollIntoView();
  const box = await canvas.boundingBox();
  const largest = await page.$$eval("canvas", (all) => all.reduce((a, c) => (c.width * c.height > a.width * a.height ? c : a)).id);
  check(largest === "veldrin-canvas", "the 3D view is the page's largest canvas");
  const before = await canvas.screenshot();
  check(await distinctColours(page, before) > 1, "the 3D view is not one colour after load");
  await page.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
  await page.mouse.down();
  await page.mouse.move(box.x + box.width / 2 + 120, box.y + box.height / 2 + 40, { steps: 5 });
  await page.mouse.up();
  await page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
  check(Buffer.compare(before, await canvas.screenshot()) !== 0, "dragging changes the 3D view");

  // Clicking where a placement shows names its model.
  const target = objs.find((f) => inst.some((i) => i[1] === f[1]) && !f[1].startsWith("LOD"));
  await page.type("#veldrin-search", target[1]);
  await page.keyboard.press("Enter");
  await page.$eval("#veldrin-info", (e) => e.replaceChildren());
  await page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
  const at = await page.evaluate((n) => window.veldrinProject(n), target[1]);
  check(at !== null, `${target[1]} projects into the view`);
  if (at) {
    await page.mouse.click(at.x, at.y);
    const info = await page.$eval("#veldrin-info", (e) => e.textContent);
    check(info.includes(target[1]) && info.includes(target[0]), `clicking ${target[1]} names it and its IDE id ${target[0]}: "${info.slice(0, 80)}"`);
  }

  // A model's preview is drawn once its row is shown.
  const previews = await page.$$("[data-preview]");
  check(previews.length === manifest.counts.models, `a preview for each model (${previews.length})`);
  if (previews.length > 0) {
    const last = previews[previews.length - 1];
    await last.scrollIntoView();
    await page.waitForFunction((e) => e.getAttribute("data-drawn") === "1", { timeout: 20000 }, last);
    const drawn = await last.evaluate((e) => {
      const c = e.tagName === "CANVAS" ? e : e.querySelector("canvas");
      const px = c.getContext("2d").getImageData(0, 0, c.width, c.height).data;
      let covered = 0;
      for (let i = 3; i < px.length; i += 4) if (px[i] > 0) covered++;
      return covered;
    });
    check(drawn > 0, `the last model's preview covers ${drawn} pixels`);
  }

  check(errors.length === 0, "no console error" + (errors.length ? ": " + errors.join(" | ") : ""));
  check(outside.length === 0, "no request outside the report folder" + (outside.length ? ": " + outside.join(" ") : ""));
} catch (e) {
  check(false, "the page check ran to its end: " + (e.stack || e));
} finally {
  if (browser) await browser.close();
  rmSync(work, { recursive: true, force: true });
}
process.exit(failures.length ? 1 : 0);
