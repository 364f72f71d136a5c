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
