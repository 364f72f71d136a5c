// The page: the view's canvas and controls, the model under a click, the search, and what tests ask
// for (window.veldrinReady after the first full frame, window.veldrinProject(name)).

const kPreviewSize = 128;
// Names in natural order, digit runs as numbers (ps2, ps20, ps21, ps210), as the rest of the page lists them.
const naturalOrder = new Intl.Collator(undefined, { numeric: true, sensitivity: "base" }).compare;

function describePlacement(p) {
  const m = p.model;
  const fixed = (v) => v.map((x) => x.toFixed(3)).join(", ");
  const names = [...new Set(m.materialNames.filter((n) => n))].sort(naturalOrder);
  const rows = [
    ["Model", m.name], ["IDE id", m.ide >= 0 ? String(m.ide) : "none"], ["Dictionary", m.dictionary || "none"],
    ["Kind", m.lod ? "LOD" : "HD"], ["Triangles", String(m.triangles)], ["Vertices", String(m.vertices)],
    ["Textures", names.join(", ") || "none"], ["Position", fixed(p.position)], ["Rotation", fixed(p.written)],
    ["Placements", String(m.placements.length)],
  ];
  const table = document.createElement("table");
  for (const [k, v] of rows) {
    const tr = table.insertRow();
    const th = document.createElement("th");
    th.textContent = k;
    tr.appendChild(th);
    tr.insertCell().textContent = v;
  }
  return table;
}

async function start() {
  const canvas = document.getElementById("veldrin-canvas");
  const status = document.getElementById("veldrin-status");
  if (!canvas) return;
  if (!window.veldrinScene) {
    status.textContent = "scene.js is missing from the report folder: convert the level again with --report.";
    return;
  }
  const gl = canvas.getContext("webgl2", { antialias: true, preserveDrawingBuffer: true });
  if (!gl) {
    status.textContent = "This browser does not offer WebGL2, so the 3D view cannot be drawn; open index.html in a current browser.";
    return;
  }
  const images = decodeAtlases(window.veldrinScene.atlases);
  let scene;
  try {
    scene = await loadScene(window.veldrinScene);
  } catch (e) {
    status.textContent = "scene.js could not be read (" + e.message + "); convert the level again with --report.";
    return;
  }
  const renderer = createRenderer(gl, scene);
  const camera = createCamera();
  const info = document.getElementById("veldrin-info");
  const detail = document.getElementById("veldrin-detail");
  const night = document.getElementById("veldrin-night");
  const hasNight = scene.models.some((m) => m.night);
  night.disabled = !hasNight;
  if (!hasNight) night.parentElement.title = "This level was converted without night colours.";
  // HD alone unless the level has nothing else.
  if (!scene.models.some((m) => !m.lod)) detail.value = "lod";

  const shownModels = () => scene.models.filter((m) => detail.value === "both" || (detail.value === "lod") === m.lod);
  const shownPlacements = () => shownModels().flatMap((m) => m.placements);
  // From the laid-out size: the first frame is framed before the canvas's buffer takes that size.
  const aspect = () => (canvas.clientWidth || canvas.width) / Math.max(1, canvas.clientHeight || canvas.height);

  let pending = false, firstFrame = true;
  const keys = new Set();
  let lastTime = 0;
  const frame = (time) => {
    pending = false;
    const dpr = window.devicePixelRatio || 1;
    const w = Math.max(1, Math.round(canvas.clientWidth * dpr)), h = Math.max(1, Math.round(canvas.clientHeight * dpr));
    if (canvas.width !== w || canvas.height !== h) {
      canvas.width = w;
      canvas.height = h;
    }
    if (keys.size > 0) fly((time - (lastTime || time)) / 1000);
    lastTime = keys.size > 0 ? time : 0;
    gl.bindFramebuffer(gl.FRAMEBUFFER, null);
    gl.viewport(0, 0, canvas.width, canvas.height);
    if (night.checked) gl.clearColor(0.05, 0.07, 0.14, 1);
    else gl.clearColor(0.62, 0.71, 0.8, 1);
    gl.clear(gl.COLOR_BUFFER_BIT | gl.DEPTH_BUFFER_BIT);
    renderer.draw(cameraMatrices(camera, aspect()).viewProjection, shownModels(), { night: night.checked });
    if (firstFrame) {
      // The whole level is in the canvas (its buffer is kept): the page's own layout may still follow.
      firstFrame = false;
      window.veldrinReady = true;
    }
    if (keys.size > 0) redraw();
  };
  const redraw = () => {
    if (!pending) {
      pending = true;
      requestAnimationFrame(frame);
    }
  };

  const fly = (seconds) => {
    const speed = camera.distance * (keys.has("shift") ? 2.5 : 0.8) * Math.min(seconds, 0.1);
    const forward = normalize([-Math.cos(camera.yaw), -Math.sin(camera.yaw), 0]);
    const right = [forward[1], -forward[0], 0];
    let move = [0, 0, 0];
    if (keys.has("w")) move = add(move, forward);
    if (keys.has("s")) move = sub(move, forward);
    if (keys.has("d")) move = add(move, right);
    if (keys.has("a")) move = sub(move, right);
    if (keys.has("e")) move = add(move, [0, 0, 1]);
    if (keys.has("q")) move = sub(move, [0, 0, 1]);
    camera.target = add(camera.target, scale(move, speed));
  };

  const frameAll = () => {
    frameSphere(camera, placementsBounds(shownPlacements()));
    redraw();
  };
  const show = (p) => {
    info.replaceChildren();
    if (p) info.appendChild(describePlacement(p));
  };
  const flyTo = (p) => {
    frameSphere(camera, { centre: p.centre, radius: p.model.radius * 1.6 });
    if (camera.pitch < 0.3) camera.pitch = 0.5;
    if (!shownModels().includes(p.model)) detail.value = "both";
    show(p);
    redraw();
  };

  // Mouse: left drag orbits, right or shift drag pans, wheel zooms; a click without dragging picks.
  let drag = null;
  canvas.addEventListener("contextmenu", (e) => e.preventDefault());
  canvas.addEventListener("pointerdown", (e) => {
    canvas.focus();
    drag = { x: e.clientX, y: e.clientY, moved: 0, pan: e.button === 2 || e.shiftKey };
    canvas.setPointerCapture(e.pointerId);
  });
  canvas.addEventListener("pointermove", (e) => {
    if (!drag) return;
    const dx = e.clientX - drag.x, dy = e.clientY - drag.y;
    drag.x = e.clientX;
    drag.y = e.clientY;
    drag.moved += Math.abs(dx) + Math.abs(dy);
    if (drag.pan) {
      const s = camera.distance * 2 * Math.tan(kFieldOfView / 2) / Math.max(1, canvas.clientHeight);
      const right = [-Math.sin(camera.yaw), Math.cos(camera.yaw), 0];
      const back = [Math.cos(camera.yaw), Math.sin(camera.yaw), 0];
      camera.target = add(camera.target, add(scale(right, -dx * s), scale(Math.abs(camera.pitch) > 1.2 ? back : [0, 0, 1], dy * s)));
    } else {
      camera.yaw -= dx * 0.008;
      camera.pitch = Math.max(-1.56, Math.min(1.5707, camera.pitch + dy * 0.008));
    }
    redraw();
  });
  canvas.addEventListener("pointerup", (e) => {
    if (drag && drag.moved < 4) {
      const rect = canvas.getBoundingClientRect();
      const ray = cameraRay(camera, aspect(), (e.clientX - rect.left) / rect.width, (e.clientY - rect.top) / rect.height);
      show(pickPlacement(scene, shownPlacements(), ray));
    }
    drag = null;
  });
  canvas.addEventListener("wheel", (e) => {
    e.preventDefault();
    camera.distance = Math.max(0.5, camera.distance * Math.exp(e.deltaY * 0.0015));
    redraw();
  }, { passive: false });
  canvas.addEventListener("keydown", (e) => {
    const k = e.key.toLowerCase();
    if (k === "shift" || "wasdqe".includes(k) && k.length === 1) {
      keys.add(k);
      e.preventDefault();
      redraw();
    }
  });
  canvas.addEventListener("keyup", (e) => keys.delete(e.key.toLowerCase()));
  canvas.addEventListener("blur", () => keys.clear());

  document.getElementById("veldrin-frame").addEventListener("click", frameAll);
  document.getElementById("veldrin-top").addEventListener("click", () => {
    camera.yaw = -Math.PI / 2;
    camera.pitch = 1.5707;
    frameSphere(camera, placementsBounds(shownPlacements()));
    redraw();
  });
  detail.addEventListener("change", redraw);
  night.addEventListener("change", redraw);

  const search = document.getElementById("veldrin-search");
  const names = document.getElementById("veldrin-names");
  for (const m of scene.models.slice().sort((a, b) => naturalOrder(a.name, b.name))) {
    if (m.placements.length === 0) continue;
    const option = document.createElement("option");
    option.value = m.name;
    names.appendChild(option);
  }
  const find = () => {
    const wanted = search.value.trim().toLowerCase();
    if (!wanted) return;
    let model = scene.byName.get(wanted);
    if (!model || model.placements.length === 0) model = scene.models.find((m) => m.placements.length > 0 && m.name.toLowerCase().includes(wanted));
    if (model) flyTo(model.placements[0]);
    else {
      info.replaceChildren();
      info.textContent = "No placed model is named like \"" + search.value + "\".";
    }
  };
  search.addEventListener("keydown", (e) => { if (e.key === "Enter") find(); });
  search.addEventListener("change", find);

  // Viewport coordinates of where a model's first placement shows on screen (a point of its surface),
  // or null when it is not placed or lies behind the camera.
  window.veldrinProject = (name) => {
    const model = scene.byName.get(String(name).toLowerCase());
    if (!model || model.placements.length === 0) return null;
    const p = transformPoint(cameraMatrices(camera, aspect()).viewProjection, placementSurfacePoint(scene, model.placements[0]));
    if (p[3] <= 0) return null;
    const rect = canvas.getBoundingClientRect();
    return { x: rect.left + (p[0] + 1) / 2 * rect.width, y: rect.top + (1 - p[1]) / 2 * rect.height };
  };
  window.veldrinFlyTo = (name) => {
    search.value = name;
    find();
  };

  const placed = scene.placements.length;
  const triangles = scene.placements.reduce((s, p) => s + p.model.triangles, 0);
  // The first frame waits for the textures, so the first picture is the whole one.
  await renderer.uploadAtlases(images);
  status.textContent = scene.models.length + " models, " + placed + " placements, " + triangles + " triangles placed.";
  window.veldrinScene = null; // the view holds what it needs; the text of scene.js can go
  // The first frame shows the bulk of the level from 35 degrees above; "Frame all" shows all of it.
  frameBulk(camera, bulkCorners(shownPlacements()), aspect());
  redraw();
  startPreviews(gl, scene, renderer, () => night.checked);
}

// Pictures of single models for elements with data-preview="NAME", drawn in the view's own context
// into a small framebuffer as they scroll into view, a few per frame.
function startPreviews(gl, scene, renderer, nightShown) {
  const targets = document.querySelectorAll("[data-preview]");
  if (targets.length === 0) return;
  const framebuffer = gl.createFramebuffer();
  gl.bindFramebuffer(gl.FRAMEBUFFER, framebuffer);
  const colour = gl.createRenderbuffer();
  gl.bindRenderbuffer(gl.RENDERBUFFER, colour);
  gl.renderbufferStorage(gl.RENDERBUFFER, gl.RGBA8, kPreviewSize, kPreviewSize);
  gl.framebufferRenderbuffer(gl.FRAMEBUFFER, gl.COLOR_ATTACHMENT0, gl.RENDERBUFFER, colour);
  const depth = gl.createRenderbuffer();
  gl.bindRenderbuffer(gl.RENDERBUFFER, depth);
  gl.renderbufferStorage(gl.RENDERBUFFER, gl.DEPTH_COMPONENT24, kPreviewSize, kPreviewSize);
  gl.framebufferRenderbuffer(gl.FRAMEBUFFER, gl.DEPTH_ATTACHMENT, gl.RENDERBUFFER, depth);
  gl.bindFramebuffer(gl.FRAMEBUFFER, null);
  const pixels = new Uint8Array(kPreviewSize * kPreviewSize * 4);
  const queue = [];
  let scheduled = false;

  const drawOne = (element) => {
    const model = scene.byName.get((element.getAttribute("data-preview") || "").toLowerCase());
    if (!model) return;
    const camera = createCamera();
    frameSphere(camera, { centre: scale(add(model.min, model.max), 0.5), radius: model.radius });
    gl.bindFramebuffer(gl.FRAMEBUFFER, framebuffer);
    gl.viewport(0, 0, kPreviewSize, kPreviewSize);
    gl.clearColor(0, 0, 0, 0);
    gl.clear(gl.COLOR_BUFFER_BIT | gl.DEPTH_BUFFER_BIT);
    renderer.draw(cameraMatrices(camera, 1).viewProjection, [model], { night: nightShown(), atOrigin: true });
    gl.readPixels(0, 0, kPreviewSize, kPreviewSize, gl.RGBA, gl.UNSIGNED_BYTE, pixels);
    gl.bindFramebuffer(gl.FRAMEBUFFER, null);
    const image = new ImageData(kPreviewSize, kPreviewSize);
    const row = kPreviewSize * 4;
    for (let y = 0; y < kPreviewSize; y++) image.data.set(pixels.subarray((kPreviewSize - 1 - y) * row, (kPreviewSize - y) * row), y * row);
    let target = element;
    if (target.tagName !== "CANVAS") {
      target = document.createElement("canvas");
      element.appendChild(target);
    }
    target.width = kPreviewSize;
    target.height = kPreviewSize;
    target.getContext("2d").putImageData(image, 0, 0);
    element.setAttribute("data-drawn", "1");
  };
  const work = () => {
    scheduled = false;
    const started = performance.now();
    while (queue.length > 0 && performance.now() - started < 12) drawOne(queue.shift());
    if (queue.length > 0) schedule();
  };
  const schedule = () => {
    if (!scheduled) {
      scheduled = true;
      requestAnimationFrame(work);
    }
  };
  const observer = new IntersectionObserver((entries) => {
    for (const e of entries) {
      if (!e.isIntersecting) continue;
      observer.unobserve(e.target);
      queue.push(e.target);
    }
    schedule();
  }, { rootMargin: "200px" });
  targets.forEach((t) => {
    observer.observe(t);
    t.addEventListener("click", () => drawOne(t));
  });
}
