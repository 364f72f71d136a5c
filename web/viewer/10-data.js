// Scene data: the base64 arrays of scene.js as typed arrays, and the geometry helpers the view needs.

function decodeBase64(text) {
  if (typeof Uint8Array.fromBase64 === "function") return Uint8Array.fromBase64(text);
  const binary = atob(text);
  const bytes = new Uint8Array(binary.length);
  for (let i = 0; i < binary.length; i++) bytes[i] = binary.charCodeAt(i);
  return bytes;
}

// The browser's own inflater: scene.js holds its arrays as one zlib stream.
async function inflate(bytes) {
  const stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream("deflate"));
  return new Response(stream).arrayBuffer();
}

// The arrays are little-endian, as typed arrays are on every machine a browser runs on.
async function loadScene(raw) {
  const buffer = await inflate(decodeBase64(raw.data));
  const spans = new Map(raw.arrays.map((a) => [a.name, a]));
  const array = (Type, name) => new Type(buffer, spans.get(name).offset, spans.get(name).length);
  const scene = {
    level: raw.level,
    atlases: raw.atlases,
    textures: raw.textures,
    positions: array(Float32Array, "positions"),
    uvs: array(Float32Array, "uvs"),
    day: array(Uint8Array, "day"),
    night: array(Uint8Array, "night"),
    indices: array(raw.indexBytes === 4 ? Uint32Array : Uint16Array, "indices"),
    triangleMaterials: array(Uint16Array, "triangleMaterials"),
    placements: [],
    byName: new Map(),
  };
  const firstVertex = array(Int32Array, "modelFirstVertex"), vertices = array(Int32Array, "modelVertices");
  const firstTriangle = array(Int32Array, "modelFirstTriangle"), triangles = array(Int32Array, "modelTriangles");
  const ide = array(Int32Array, "modelIde"), dictionary = array(Int32Array, "modelDictionary");
  const flags = array(Uint8Array, "modelFlags"), bounds = array(Float32Array, "modelBounds");
  const materialCounts = array(Uint16Array, "modelMaterialCounts"), materialTextures = array(Int32Array, "materialTextures");
  let material = 0;
  scene.models = raw.modelNames.map((name, i) => {
    const b = bounds.subarray(6 * i, 6 * i + 6);
    const count = materialCounts[i];
    const m = {
      index: i, name, ide: ide[i], dictionary: raw.dictionaries[dictionary[i]], lod: (flags[i] & 1) !== 0,
      night: (flags[i] & 8) !== 0, firstVertex: firstVertex[i], vertices: vertices[i], firstTriangle: firstTriangle[i],
      triangles: triangles[i], min: [b[0], b[1], b[2]], max: [b[3], b[4], b[5]],
      materials: Array.from(materialTextures.subarray(material, material + count)),
      materialNames: raw.materialNames.slice(material, material + count), placements: [],
    };
    material += count;
    m.radius = Math.hypot(m.max[0] - m.min[0], m.max[1] - m.min[1], m.max[2] - m.min[2]) / 2 || 1;
    scene.byName.set(name.toLowerCase(), m);
    return m;
  });
  const models = array(Int32Array, "placementModels");
  const p = array(Float32Array, "placementPositions"), r = array(Float32Array, "placementRotations");
  for (let i = 0; i < raw.placements; i++) {
    const model = scene.models[models[i]];
    // The IPL holds the inverse of the placed rotation (the game turns it round when it reads it).
    const rotation = [-r[4 * i], -r[4 * i + 1], -r[4 * i + 2], r[4 * i + 3]];
    const placement = { index: i, model, position: [p[3 * i], p[3 * i + 1], p[3 * i + 2]], written: [r[4 * i], r[4 * i + 1], r[4 * i + 2], r[4 * i + 3]], rotation };
    const local = [(model.min[0] + model.max[0]) / 2, (model.min[1] + model.max[1]) / 2, (model.min[2] + model.max[2]) / 2];
    placement.centre = add(rotate(rotation, local), placement.position);
    model.placements.push(placement);
    scene.placements.push(placement);
  }
  return scene;
}

function add(a, b) { return [a[0] + b[0], a[1] + b[1], a[2] + b[2]]; }
function sub(a, b) { return [a[0] - b[0], a[1] - b[1], a[2] - b[2]]; }
function scale(a, s) { return [a[0] * s, a[1] * s, a[2] * s]; }
function dot(a, b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
function cross(a, b) { return [a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]]; }
function normalize(a) { const l = Math.hypot(a[0], a[1], a[2]) || 1; return [a[0] / l, a[1] / l, a[2] / l]; }

// v rotated by the unit quaternion q (x, y, z, w).
function rotate(q, v) {
  const u = [q[0], q[1], q[2]];
  const t = scale(cross(u, v), 2);
  return add(add(v, scale(t, q[3])), cross(u, t));
}
function conjugate(q) { return [-q[0], -q[1], -q[2], q[3]]; }

// Column-major 4x4 matrices, as WebGL takes them.
function perspective(fovy, aspect, near, far) {
  const f = 1 / Math.tan(fovy / 2), nf = 1 / (near - far);
  return [f / aspect, 0, 0, 0, 0, f, 0, 0, 0, 0, (far + near) * nf, -1, 0, 0, 2 * far * near * nf, 0];
}
function lookAt(eye, target, up) {
  const z = normalize(sub(eye, target));
  const x = normalize(cross(up, z));
  const y = cross(z, x);
  return [x[0], y[0], z[0], 0, x[1], y[1], z[1], 0, x[2], y[2], z[2], 0, -dot(x, eye), -dot(y, eye), -dot(z, eye), 1];
}
function multiply(a, b) {
  const out = new Array(16).fill(0);
  for (let c = 0; c < 4; c++)
    for (let r = 0; r < 4; r++)
      for (let k = 0; k < 4; k++) out[c * 4 + r] += a[k * 4 + r] * b[c * 4 + k];
  return out;
}
function transformPoint(m, p) {
  const x = m[0] * p[0] + m[4] * p[1] + m[8] * p[2] + m[12];
  const y = m[1] * p[0] + m[5] * p[1] + m[9] * p[2] + m[13];
  const z = m[2] * p[0] + m[6] * p[1] + m[10] * p[2] + m[14];
  const w = m[3] * p[0] + m[7] * p[1] + m[11] * p[2] + m[15];
  return [x / w, y / w, z / w, w];
}

function modelVertex(scene, model, i) {
  const o = 3 * (model.firstVertex + i);
  return [scene.positions[o], scene.positions[o + 1], scene.positions[o + 2]];
}
function modelTriangle(scene, model, t) {
  const o = 3 * (model.firstTriangle + t);
  return [scene.indices[o], scene.indices[o + 1], scene.indices[o + 2]];
}
