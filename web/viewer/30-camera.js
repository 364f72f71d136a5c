// The camera: it orbits a target point (yaw round the vertical, pitch above the ground plane,
// distance), and flying moves the target. The world's up is +Z, north is +Y.

const kFieldOfView = 50 * Math.PI / 180;

function createCamera() {
  return { target: [0, 0, 0], yaw: -Math.PI / 2 + 0.6, pitch: 0.6, distance: 100 };
}

function cameraEye(c) {
  const cp = Math.cos(c.pitch);
  return add(c.target, scale([cp * Math.cos(c.yaw), cp * Math.sin(c.yaw), Math.sin(c.pitch)], c.distance));
}

function cameraMatrices(c, aspect) {
  const eye = cameraEye(c);
  // Looking straight down the up vector would be undefined: north stays at the top of the view.
  const up = Math.abs(c.pitch) > 1.55 ? [-Math.cos(c.yaw), -Math.sin(c.yaw), 0] : [0, 0, 1];
  const view = lookAt(eye, c.target, up);
  const near = Math.max(0.05, c.distance / 500);
  const far = Math.max(1000, c.distance * 50);
  return { eye, view, projection: perspective(kFieldOfView, aspect, near, far), viewProjection: multiply(perspective(kFieldOfView, aspect, near, far), view) };
}

// The sphere that holds the given placements.
function placementsBounds(placements) {
  if (placements.length === 0) return { centre: [0, 0, 0], radius: 50 };
  const min = [Infinity, Infinity, Infinity], max = [-Infinity, -Infinity, -Infinity];
  for (const p of placements) {
    for (let a = 0; a < 3; a++) {
      min[a] = Math.min(min[a], p.centre[a] - p.model.radius);
      max[a] = Math.max(max[a], p.centre[a] + p.model.radius);
    }
  }
  return { centre: scale(add(min, max), 0.5), radius: Math.max(1, Math.hypot(max[0] - min[0], max[1] - min[1], max[2] - min[2]) / 2) };
}

// How much a model counts in the bulk of the level: the largest face of its box, so that big buildings
// count for more than lamp posts and a wall standing on its edge is not taken for nothing.
function modelWeight(m) {
  const e = sub(m.max, m.min);
  return Math.max(e[0] * e[1], e[0] * e[2], e[1] * e[2], 1e-6);
}

// The placements of the level's heaviest cluster: placements closer than a few model sizes on the
// ground join one cluster, and the one whose models weigh the most wins, so that a level of
// districts far apart (or a stray piece at the map's edge) opens on a district, not on the gap between.
function mainCluster(placements, size) {
  const cell = 3 * size;
  const cells = new Map();
  for (const p of placements) {
    const key = Math.floor(p.centre[0] / cell) + "," + Math.floor(p.centre[1] / cell);
    if (!cells.has(key)) cells.set(key, []);
    cells.get(key).push(p);
  }
  let best = [], bestWeight = -1;
  const seen = new Set();
  for (const start of cells.keys()) {
    if (seen.has(start)) continue;
    seen.add(start);
    const members = [], open = [start];
    let weight = 0;
    while (open.length > 0) {
      const key = open.pop();
      for (const p of cells.get(key)) {
        members.push(p);
        weight += modelWeight(p.model);
      }
      const [x, y] = key.split(",").map(Number);
      for (let dx = -1; dx <= 1; dx++)
        for (let dy = -1; dy <= 1; dy++) {
          const next = (x + dx) + "," + (y + dy);
          if (cells.has(next) && !seen.has(next)) {
            seen.add(next);
            open.push(next);
          }
        }
    }
    if (weight > bestWeight) {
      best = members;
      bestWeight = weight;
    }
  }
  return best;
}

// The corners of the bulk of the placements: in the heaviest cluster, per axis, the central 90% of
// their centres, each counted by its model's weight, and each of those placements' model box round its
// centre (model space's axes taken as the world's: most placements turn round the vertical only), so
// that one placement, or many in one spot, frames the model itself.
function bulkCorners(shown) {
  const all = shown.filter((p) => p.centre.every(Number.isFinite));
  if (all.length === 0) return [[-50, -50, -50], [50, 50, 50]];
  const size = all.reduce((s, p) => s + p.model.radius * p.model.radius, 0) / all.reduce((s, p) => s + p.model.radius, 0);
  const placements = mainCluster(all, size);
  const total = placements.reduce((s, p) => s + modelWeight(p.model), 0);
  const min = [0, 0, 0], max = [0, 0, 0];
  const order = placements.slice();
  for (let a = 0; a < 3; a++) {
    order.sort((p, q) => p.centre[a] - q.centre[a]);
    // The centre at which the running weight passes the given share of the total.
    const at = (share) => {
      let sum = 0;
      for (const p of order) {
        sum += modelWeight(p.model);
        if (sum >= share * total) return p.centre[a];
      }
      return order[order.length - 1].centre[a];
    };
    min[a] = at(0.05);
    max[a] = at(0.95);
  }
  const corners = [];
  for (const p of placements) {
    if ([0, 1, 2].some((a) => p.centre[a] < min[a] || p.centre[a] > max[a])) continue;
    const half = scale(sub(p.model.max, p.model.min), 0.5);
    for (let k = 0; k < 8; k++) corners.push([p.centre[0] + (k & 1 ? half[0] : -half[0]), p.centre[1] + (k & 2 ? half[1] : -half[1]), p.centre[2] + (k & 4 ? half[2] : -half[2])]);
  }
  return corners;
}

// Looks at the points from the given pitch (the yaw kept), centred and as close as keeps them all inside
// the given share of the view's height and width.
function framePoints(c, points, aspect, pitch, share) {
  c.pitch = pitch;
  const cp = Math.cos(c.pitch);
  const back = [cp * Math.cos(c.yaw), cp * Math.sin(c.yaw), Math.sin(c.pitch)];
  const right = normalize(cross([0, 0, 1], back));
  const up = cross(back, right);
  const tanY = Math.tan(kFieldOfView / 2) * share, tanX = tanY * aspect;
  // The closest distance that keeps every point inside: a point's depth in front of the eye is the
  // distance less how far it lies toward the eye from the target.
  const fit = () => {
    let distance = 0;
    for (const point of points) {
      const d = sub(point, c.target);
      const toward = dot(d, back);
      distance = Math.max(distance, Math.abs(dot(d, right)) / tanX + toward, Math.abs(dot(d, up)) / tanY + toward);
    }
    c.distance = Math.max(1, distance);
  };
  const min = points.reduce((m, p) => [Math.min(m[0], p[0]), Math.min(m[1], p[1]), Math.min(m[2], p[2])], [Infinity, Infinity, Infinity]);
  const max = points.reduce((m, p) => [Math.max(m[0], p[0]), Math.max(m[1], p[1]), Math.max(m[2], p[2])], [-Infinity, -Infinity, -Infinity]);
  c.target = scale(add(min, max), 0.5);
  fit();
  // Perspective draws the near side larger: the target moves across the view until what shows is
  // centred, a few rounds, each followed by the distance that fits.
  for (let round = 0; round < 3; round++) {
    const low = [Infinity, Infinity], high = [-Infinity, -Infinity];
    for (const point of points) {
      const d = sub(point, c.target);
      const depth = Math.max(1e-3, c.distance - dot(d, back));
      const x = dot(d, right) / depth, y = dot(d, up) / depth;
      low[0] = Math.min(low[0], x);
      high[0] = Math.max(high[0], x);
      low[1] = Math.min(low[1], y);
      high[1] = Math.max(high[1], y);
    }
    c.target = add(c.target, add(scale(right, (low[0] + high[0]) / 2 * c.distance), scale(up, (low[1] + high[1]) / 2 * c.distance)));
    fit();
  }
}

// The first frame: the bulk seen from 35 degrees above, from the side (of eight round it, south first)
// where it shows largest, so a row of buildings runs across the view rather than away from it.
function frameBulk(c, corners, aspect) {
  let best = null;
  for (let k = 0; k < 8; k++) {
    c.yaw = -Math.PI / 2 + 0.25 + k * Math.PI / 4;
    framePoints(c, corners, aspect, 35 * Math.PI / 180, 0.95);
    if (!best || c.distance < best.distance * 0.95) best = { yaw: c.yaw, target: c.target, distance: c.distance };
  }
  c.yaw = best.yaw;
  c.target = best.target;
  c.distance = best.distance;
}

function frameSphere(c, sphere) {
  c.target = sphere.centre.slice();
  c.distance = sphere.radius / Math.tan(kFieldOfView / 2);
}

// The ray under a point of the canvas (0..1 across and down).
function cameraRay(c, aspect, fx, fy) {
  const { eye } = cameraMatrices(c, aspect);
  const forward = normalize(sub(c.target, eye));
  const up0 = Math.abs(c.pitch) > 1.55 ? [-Math.cos(c.yaw), -Math.sin(c.yaw), 0] : [0, 0, 1];
  const right = normalize(cross(forward, up0));
  const up = cross(right, forward);
  const h = Math.tan(kFieldOfView / 2);
  const dir = normalize(add(forward, add(scale(right, (2 * fx - 1) * h * aspect), scale(up, (1 - 2 * fy) * h))));
  return { origin: eye, dir };
}
