// What is under the pointer: the nearest triangle of the shown placements, tested in each model's own
// space (its box first).

function rayBox(origin, dir, min, max) {
  let near = -Infinity, far = Infinity;
  for (let a = 0; a < 3; a++) {
    if (Math.abs(dir[a]) < 1e-12) {
      if (origin[a] < min[a] || origin[a] > max[a]) return Infinity;
      continue;
    }
    let t1 = (min[a] - origin[a]) / dir[a], t2 = (max[a] - origin[a]) / dir[a];
    if (t1 > t2) [t1, t2] = [t2, t1];
    near = Math.max(near, t1);
    far = Math.min(far, t2);
  }
  return near <= far && far >= 0 ? Math.max(near, 0) : Infinity;
}

function rayTriangle(origin, dir, a, b, c) {
  const e1 = sub(b, a), e2 = sub(c, a);
  const p = cross(dir, e2);
  const det = dot(e1, p);
  if (Math.abs(det) < 1e-12) return Infinity;
  const s = sub(origin, a);
  const u = dot(s, p) / det;
  if (u < 0 || u > 1) return Infinity;
  const q = cross(s, e1);
  const v = dot(dir, q) / det;
  if (v < 0 || u + v > 1) return Infinity;
  const t = dot(e2, q) / det;
  return t > 0 ? t : Infinity;
}

function pickPlacement(scene, placements, ray) {
  let best = null, bestT = Infinity;
  for (const p of placements) {
    const m = p.model;
    const inverse = conjugate(p.rotation);
    const origin = rotate(inverse, sub(ray.origin, p.position));
    const dir = rotate(inverse, ray.dir);
    if (rayBox(origin, dir, m.min, m.max) >= bestT) continue;
    for (let t = 0; t < m.triangles; t++) {
      const [i, j, k] = modelTriangle(scene, m, t);
      const hit = rayTriangle(origin, dir, modelVertex(scene, m, i), modelVertex(scene, m, j), modelVertex(scene, m, k));
      if (hit < bestT) {
        bestT = hit;
        best = p;
      }
    }
  }
  return best;
}

// A point on the placement's surface (the middle of its largest triangle), in world space.
function placementSurfacePoint(scene, p) {
  const m = p.model;
  let best = null, bestArea = -1;
  for (let t = 0; t < m.triangles; t++) {
    const [a, b, c] = modelTriangle(scene, m, t).map((i) => modelVertex(scene, m, i));
    const area = Math.hypot(...cross(sub(b, a), sub(c, a)));
    if (area > bestArea) {
      bestArea = area;
      best = scale(add(add(a, b), c), 1 / 3);
    }
  }
  return add(rotate(p.rotation, best || [0, 0, 0]), p.position);
}
