// Starts decoding each atlas's PNG; each promise gives the image, or null when it cannot be read.
function decodeAtlases(atlases) {
  return atlases.map((a) => {
    const image = new Image();
    image.src = a.png;
    return image.decode().then(() => image, () => null);
  });
}

// The GPU side: every model's vertices once (split where one vertex meets two textures), every
// placement an instance (position and rotation), one atlas texture per dictionary sheet.

const kUntextured = 65535;
const kCellColumns = 256;

const kVertexShader = `#version 300 es
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec2 aUv;
layout(location = 2) in vec4 aDay;
layout(location = 3) in vec4 aNight;
layout(location = 4) in uint aTexture;
layout(location = 5) in vec3 iPosition;
layout(location = 6) in vec4 iRotation;
uniform mat4 uViewProjection;
uniform float uNight;
uniform highp sampler2D uCells;
out vec2 vUv;
out vec4 vColour;
flat out vec4 vCell;
void main() {
  vec3 p = aPosition + 2.0 * cross(iRotation.xyz, cross(iRotation.xyz, aPosition) + iRotation.w * aPosition);
  gl_Position = uViewProjection * vec4(p + iPosition, 1.0);
  vUv = aUv;
  vColour = mix(aDay, aNight, uNight);
  int t = int(aTexture);
  vCell = aTexture == ${kUntextured}u ? vec4(0.0) : texelFetch(uCells, ivec2(t % ${kCellColumns}, t / ${kCellColumns}), 0);
}`;

// A texture repeats inside its cell of the atlas: the coordinate wraps there, half a texel in from
// the cell's edge so the sheet's gap never shows.
const kFragmentShader = `#version 300 es
precision highp float;
uniform sampler2D uAtlas;
uniform vec2 uAtlasSize;
uniform int uBlend;
in vec2 vUv;
in vec4 vColour;
flat in vec4 vCell;
out vec4 outColour;
void main() {
  vec4 texel = vec4(1.0);
  if (vCell.z > 0.0) {
    vec2 inCell = clamp(fract(vUv) * vCell.zw, vec2(0.5), vCell.zw - 0.5);
    texel = texture(uAtlas, (vCell.xy + inCell) / uAtlasSize);
  }
  vec4 c = texel * vColour;
  if (uBlend == 1) {
    if (c.a < 0.03) discard;
  } else {
    c.a = 1.0;
  }
  outColour = c;
}`;

function compileProgram(gl) {
  const shader = (type, source) => {
    const s = gl.createShader(type);
    gl.shaderSource(s, source);
    gl.compileShader(s);
    if (!gl.getShaderParameter(s, gl.COMPILE_STATUS)) throw new Error("shader: " + gl.getShaderInfoLog(s));
    return s;
  };
  const program = gl.createProgram();
  gl.attachShader(program, shader(gl.VERTEX_SHADER, kVertexShader));
  gl.attachShader(program, shader(gl.FRAGMENT_SHADER, kFragmentShader));
  gl.linkProgram(program);
  if (!gl.getProgramParameter(program, gl.LINK_STATUS)) throw new Error("program: " + gl.getProgramInfoLog(program));
  const u = {};
  for (const name of ["uViewProjection", "uNight", "uCells", "uAtlas", "uAtlasSize", "uBlend"]) u[name] = gl.getUniformLocation(program, name);
  return { program, u };
}

// Vertices as drawn: a source vertex once per texture that its triangles use. Each model's triangles
// are grouped by atlas and by blending, one draw each.
function buildGeometry(scene) {
  const textureOf = (model, material) => {
    const t = model.materials[material];
    return t === undefined || t < 0 || !scene.textures[t] ? -1 : t;
  };
  const groupOf = (t) => (t < 0 ? "-1/0" : scene.textures[t].atlas + "/" + (scene.textures[t].alpha ? 1 : 0));
  const sources = [];
  let vertexCount = 0;
  const indices = new Uint32Array(scene.indices.length);
  let written = 0;
  for (const model of scene.models) {
    const byGroup = new Map();
    for (let t = 0; t < model.triangles; t++) {
      const texture = textureOf(model, scene.triangleMaterials[model.firstTriangle + t]);
      const key = groupOf(texture);
      if (!byGroup.has(key)) byGroup.set(key, []);
      byGroup.get(key).push(t, texture);
    }
    // A vertex's first texture is looked up in place; a second one (rare) in a map.
    const firstTexture = new Int32Array(model.vertices).fill(-2), firstOut = new Int32Array(model.vertices);
    const seen = new Map();
    const sourceVertex = [], sourceTexture = [];
    model.groups = [];
    for (const [key, list] of byGroup) {
      const [atlas, blend] = key.split("/").map(Number);
      const first = written;
      for (let i = 0; i < list.length; i += 2) {
        const tri = modelTriangle(scene, model, list[i]);
        const texture = list[i + 1];
        for (const v of tri) {
          let out;
          if (firstTexture[v] === texture) {
            out = firstOut[v];
          } else {
            const k = v * 65536 + (texture + 1);
            out = firstTexture[v] === -2 ? undefined : seen.get(k);
            if (out === undefined) {
              out = sourceVertex.length;
              if (firstTexture[v] === -2) {
                firstTexture[v] = texture;
                firstOut[v] = out;
              } else {
                seen.set(k, out);
              }
              sourceVertex.push(v);
              sourceTexture.push(texture);
            }
          }
          indices[written++] = vertexCount + out;
        }
      }
      model.groups.push({ atlas: scene.atlases[atlas] ? atlas : -1, blend: blend === 1, first, count: written - first });
    }
    sources.push({ model, sourceVertex, sourceTexture, base: vertexCount });
    vertexCount += sourceVertex.length;
  }
  const positions = new Float32Array(vertexCount * 3), uvs = new Float32Array(vertexCount * 2);
  const day = new Uint8Array(vertexCount * 4), night = new Uint8Array(vertexCount * 4), textures = new Uint16Array(vertexCount);
  for (const { model, sourceVertex, sourceTexture, base } of sources) {
    for (let i = 0; i < sourceVertex.length; i++) {
      const from = model.firstVertex + sourceVertex[i], to = base + i;
      positions.set(scene.positions.subarray(3 * from, 3 * from + 3), 3 * to);
      uvs.set(scene.uvs.subarray(2 * from, 2 * from + 2), 2 * to);
      day.set(scene.day.subarray(4 * from, 4 * from + 4), 4 * to);
      night.set(scene.night.subarray(4 * from, 4 * from + 4), 4 * to);
      textures[to] = sourceTexture[i] < 0 ? kUntextured : sourceTexture[i];
    }
  }
  return { positions, uvs, day, night, textures, indices };
}

function createRenderer(gl, scene) {
  const { program, u } = compileProgram(gl);
  const geometry = buildGeometry(scene);
  const vao = gl.createVertexArray();
  gl.bindVertexArray(vao);
  const attribute = (location, data, size, type, normalized) => {
    const buffer = gl.createBuffer();
    gl.bindBuffer(gl.ARRAY_BUFFER, buffer);
    gl.bufferData(gl.ARRAY_BUFFER, data, gl.STATIC_DRAW);
    gl.enableVertexAttribArray(location);
    if (type === gl.UNSIGNED_SHORT && !normalized) gl.vertexAttribIPointer(location, size, type, 0, 0);
    else gl.vertexAttribPointer(location, size, type, normalized, 0, 0);
  };
  attribute(0, geometry.positions, 3, gl.FLOAT, false);
  attribute(1, geometry.uvs, 2, gl.FLOAT, false);
  attribute(2, geometry.day, 4, gl.UNSIGNED_BYTE, true);
  attribute(3, geometry.night, 4, gl.UNSIGNED_BYTE, true);
  attribute(4, geometry.textures, 1, gl.UNSIGNED_SHORT, false);
  const indexBuffer = gl.createBuffer();
  gl.bindBuffer(gl.ELEMENT_ARRAY_BUFFER, indexBuffer);
  gl.bufferData(gl.ELEMENT_ARRAY_BUFFER, geometry.indices, gl.STATIC_DRAW);

  // Instances in model order, so each model's placements are one run of the buffer.
  const instances = new Float32Array(scene.placements.length * 7 + 7);
  let next = 0;
  for (const model of scene.models) {
    model.firstInstance = next;
    for (const p of model.placements) instances.set([...p.position, ...p.rotation], 7 * next++);
  }
  instances.set([0, 0, 0, 0, 0, 0, 1], 7 * next); // the one at the origin, for previews
  const originInstance = next;
  const instanceBuffer = gl.createBuffer();
  gl.bindBuffer(gl.ARRAY_BUFFER, instanceBuffer);
  gl.bufferData(gl.ARRAY_BUFFER, instances, gl.STATIC_DRAW);
  gl.enableVertexAttribArray(5);
  gl.enableVertexAttribArray(6);
  gl.vertexAttribDivisor(5, 1);
  gl.vertexAttribDivisor(6, 1);
  const useInstances = (first) => {
    gl.vertexAttribPointer(5, 3, gl.FLOAT, false, 28, first * 28);
    gl.vertexAttribPointer(6, 4, gl.FLOAT, false, 28, first * 28 + 12);
  };

  // Each texture's cell: x, y, width, height in its atlas's pixels.
  const rows = Math.max(1, Math.ceil(scene.textures.length / kCellColumns));
  const cellData = new Float32Array(kCellColumns * rows * 4);
  scene.textures.forEach((t, i) => { if (t.atlas >= 0 && t.cell) cellData.set(t.cell, 4 * i); });
  const cells = gl.createTexture();
  gl.activeTexture(gl.TEXTURE1);
  gl.bindTexture(gl.TEXTURE_2D, cells);
  gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA32F, kCellColumns, rows, 0, gl.RGBA, gl.FLOAT, cellData);
  gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MIN_FILTER, gl.NEAREST);
  gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MAG_FILTER, gl.NEAREST);

  const white = gl.createTexture();
  gl.activeTexture(gl.TEXTURE0);
  gl.bindTexture(gl.TEXTURE_2D, white);
  gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA, 1, 1, 0, gl.RGBA, gl.UNSIGNED_BYTE, new Uint8Array([255, 255, 255, 255]));
  const atlasTextures = scene.atlases.map(() => ({ texture: white, width: 1, height: 1 }));

  // Atlases come from the PNGs held in scene.js, decoded while the geometry is built (`images`, one
  // promise of a decoded image or null per atlas); a sheet larger than the GPU takes is drawn smaller
  // (cells are looked up in the sheet's own pixels, so they scale with it).
  const uploadAtlases = async (images) => {
    const limit = gl.getParameter(gl.MAX_TEXTURE_SIZE);
    for (let i = 0; i < images.length; i++) {
      const image = await images[i];
      if (!image) continue; // drawn untextured
      let source = image;
      if (image.width > limit || image.height > limit) {
        const f = limit / Math.max(image.width, image.height);
        source = document.createElement("canvas");
        source.width = Math.max(1, Math.floor(image.width * f));
        source.height = Math.max(1, Math.floor(image.height * f));
        source.getContext("2d").drawImage(image, 0, 0, source.width, source.height);
      }
      const texture = gl.createTexture();
      gl.activeTexture(gl.TEXTURE0);
      gl.bindTexture(gl.TEXTURE_2D, texture);
      gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA, gl.RGBA, gl.UNSIGNED_BYTE, source);
      gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MIN_FILTER, gl.LINEAR);
      gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MAG_FILTER, gl.LINEAR);
      gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_S, gl.CLAMP_TO_EDGE);
      gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_T, gl.CLAMP_TO_EDGE);
      atlasTextures[i] = { texture, width: scene.atlases[i].width, height: scene.atlases[i].height };
    }
  };

  // Draws `models` (each with all its placements, or at the origin once) with the given camera.
  const draw = (viewProjection, models, options) => {
    gl.useProgram(program);
    gl.bindVertexArray(vao);
    gl.enable(gl.DEPTH_TEST);
    gl.disable(gl.CULL_FACE); // the game draws many of these models two-sided
    gl.uniformMatrix4fv(u.uViewProjection, false, viewProjection);
    gl.uniform1f(u.uNight, options.night ? 1 : 0);
    gl.uniform1i(u.uCells, 1);
    gl.uniform1i(u.uAtlas, 0);
    gl.activeTexture(gl.TEXTURE1);
    gl.bindTexture(gl.TEXTURE_2D, cells);
    gl.activeTexture(gl.TEXTURE0);
    for (const blend of [false, true]) {
      gl.uniform1i(u.uBlend, blend ? 1 : 0);
      if (blend) {
        gl.enable(gl.BLEND);
        gl.blendFunc(gl.SRC_ALPHA, gl.ONE_MINUS_SRC_ALPHA);
      } else {
        gl.disable(gl.BLEND);
      }
      let bound; // nothing bound yet: the first draw binds
      for (const model of models) {
        const count = options.atOrigin ? 1 : model.placements.length;
        if (count === 0) continue;
        let instancesSet = false;
        for (const g of model.groups) {
          if (g.blend !== blend || g.count === 0) continue;
          const atlas = g.atlas >= 0 ? atlasTextures[g.atlas] : null;
          if (atlas !== bound) {
            gl.bindTexture(gl.TEXTURE_2D, atlas ? atlas.texture : white);
            gl.uniform2f(u.uAtlasSize, atlas ? atlas.width : 1, atlas ? atlas.height : 1);
            bound = atlas;
          }
          if (!instancesSet) {
            useInstances(options.atOrigin ? originInstance : model.firstInstance);
            instancesSet = true;
          }
          gl.drawElementsInstanced(gl.TRIANGLES, g.count, gl.UNSIGNED_INT, g.first * 4, count);
        }
      }
    }
    gl.disable(gl.BLEND);
  };
  return { draw, uploadAtlases };
}
