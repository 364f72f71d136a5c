// The report page's 3D view in headless Chromium (WebGL2 on its software renderer), driven by
// puppeteer-core: converts the sample town and a six-model level with a report, opens index.html from
// disk and checks what a modder would see. Usage: node check_view.mjs VELDRIN_CLI VELDRIN_TESTLEVEL [CHROMIUM]
// With VELDRIN_SHOTS=DIR set, the first frames are saved there as PNGs (and the test builder's city's too).
// Exit status: 0 pass, 1 fail, 77 when no Chromium is installed (the test is then skipped).
import { execFileSync } from "node:child_process";
import { existsSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from "node:fs";
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

const shots = process.env.VELDRIN_SHOTS;
const frame = (page) => page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));

// Opens a report's page and waits for the 3D view's first frame (its buffer is kept, so it can be read).
const openReport = async (browser, folder, errors, outside) => {
  const page = await browser.newPage();
  await page.setViewport({ width: 1280, height: 900 });
  page.on("console", (m) => { if (m.type() === "error") errors.push(m.text()); });
  page.on("pageerror", (e) => errors.push(e.message));
  const folderUrl = pathToFileURL(folder).href + "/";
  page.on("request", (r) => { if (!r.url().startsWith(folderUrl) && !r.url().startsWith("data:")) outside.push(r.url()); });
  await page.goto(folderUrl + "index.html");
  await page.waitForFunction("window.veldrinReady === true", { timeout: 120000 });
  return page;
};

// The share of the first frame's pixels that differ from the background the view clears to, and the
// frame as a PNG.
const firstFrame = (page) => page.evaluate(() => {
  const canvas = document.getElementById("veldrin-canvas");
  const c = new OffscreenCanvas(canvas.width, canvas.height).getContext("2d");
  c.drawImage(canvas, 0, 0);
  const px = c.getImageData(0, 0, canvas.width, canvas.height).data;
  const sky = [0.62 * 255, 0.71 * 255, 0.8 * 255];
  let level = 0;
  for (let i = 0; i < px.length; i += 4)
    if (Math.abs(px[i] - sky[0]) > 4 || Math.abs(px[i + 1] - sky[1]) > 4 || Math.abs(px[i + 2] - sky[2]) > 4) level++;
  return { covered: level / (px.length / 4), png: canvas.toDataURL("image/png").replace(/^data:image\/png;base64,/, "") };
});

// The first frame shows the level, not a speck of it: its colours over at least a fifth of the view.
const checkFirstFrame = async (page, what) => {
  const { covered, png } = await firstFrame(page);
  check(covered >= 0.2, `the first frame of ${what} shows the level over ${(100 * covered).toFixed(1)}% of the view (at least 20%)`);
  if (shots) writeFileSync(join(shots, `first-frame-${what.replace(/\W+/g, "-")}.png`), Buffer.from(png, "base64"));
};

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
  const errors = [], outside = [];

  // A level of six models at the default target: its first frame, and a page that says what made it.
  execFileSync(testLevel, [work, "--name", "probe", "--small"]);
  execFileSync(cli, ["convert", join(work, "probe.lvz"), "--ide", "--txd", "group", "--models-per-txd", "3", "--report", "--out", join(work, "out")]);
  const probe = await openReport(browser, join(work, "out", "probe-report"), errors, outside);
  await checkFirstFrame(probe, "six models");
  const options = await probe.evaluate(() => ({
    target: document.getElementById("target-game")?.textContent,
    rows: Object.fromEntries(Array.from(document.querySelectorAll("#options-table tr[data-option]"), (r) => [r.dataset.option, [r.cells[1].textContent, r.cells[2].textContent]])),
  }));
  const probeManifest = JSON.parse(readFileSync(join(work, "out", "probe-report", "manifest.json"), "utf8"));
  const recorded = Object.entries(probeManifest.options);
  check(options.target === "gta3" && options.rows.target?.[1] === "default", `the page names the default target: ${options.target}, ${options.rows.target}`);
  check(recorded.length > 1 && recorded.every(([k, v]) => options.rows[k]?.[0] === (typeof v === "boolean" ? (v ? "on" : "off") : String(v))),
        `the page lists each of the manifest's ${recorded.length} options with its value`);
  check(options.rows.ide?.[1] === "set" && options.rows["models-per-txd"]?.[1] === "set" && options.rows.mipmaps?.[1] === "default",
        "the page marks the options set for the run");
  await probe.close();

  if (shots) {
    execFileSync(testLevel, [work, "--name", "city", "--city"]);
    execFileSync(cli, ["convert", join(work, "city.lvz"), "--ide", "--report", "--out", join(work, "out")]);
    const city = await openReport(browser, join(work, "out", "city-report"), errors, outside);
    await checkFirstFrame(city, "city");
    await city.close();
  }

  const page = await openReport(browser, folder, errors, outside);
  await checkFirstFrame(page, "sample town");

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
  await page.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
  await page.mouse.down();
  await page.mouse.move(box.x + box.width / 2 + 120, box.y + box.height / 2 + 40, { steps: 5 });
  await page.mouse.up();
  await frame(page);
  check(Buffer.compare(before, await canvas.screenshot()) !== 0, "dragging changes the 3D view");

  // Clicking where a placement shows names its model.
  const target = objs.find((f) => inst.some((i) => i[1] === f[1]) && !f[1].startsWith("LOD"));
  await page.type("#veldrin-search", target[1]);
  await page.keyboard.press("Enter");
  await page.$eval("#veldrin-info", (e) => e.replaceChildren());
  await frame(page);
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
