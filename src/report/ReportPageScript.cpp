#include "report/ReportPageScript.h"

namespace veldrin {

const char* const kReportPageScript = R"JS(
(function () {
  // Names in natural order, digit runs as numbers (ps2, ps20, ps21, ps210), as the page lists them.
  var natural = new Intl.Collator(undefined, {numeric: true, sensitivity: 'base'}).compare;
  function sortBy(table, column, heading) {
    var body = table.tBodies[0];
    var rows = Array.prototype.slice.call(body.rows);
    var numeric = heading.classList.contains('n');
    var ascending = heading.getAttribute('data-sorted') !== 'asc';
    Array.prototype.forEach.call(table.tHead.rows[0].cells, function (h) { h.removeAttribute('data-sorted'); });
    heading.setAttribute('data-sorted', ascending ? 'asc' : 'desc');
    function key(row) {
      var cell = row.cells[column];
      if (!numeric) return cell.textContent;
      var v = cell.getAttribute('data-v');
      return v === null || v === '' ? -Infinity : Number(v);
    }
    var keyed = rows.map(function (row, i) { return [key(row), i, row]; });
    keyed.sort(function (a, b) {
      var order = numeric ? a[0] - b[0] : natural(a[0], b[0]);
      return (ascending ? order : -order) || a[1] - b[1];
    });
    var fragment = document.createDocumentFragment();
    keyed.forEach(function (k) { fragment.appendChild(k[2]); });
    body.appendChild(fragment);
  }
  Array.prototype.forEach.call(document.querySelectorAll('table.sortable'), function (table) {
    Array.prototype.forEach.call(table.tHead.rows[0].cells, function (heading, column) {
      heading.title = 'Sort by ' + heading.textContent;
      heading.addEventListener('click', function () { sortBy(table, column, heading); });
    });
  });

  var image = document.getElementById('map-img');
  var tip = document.getElementById('map-tip');
  if (!image || !tip || !window.veldrinMap) return;
  var spots = window.veldrinMap.spots, names = window.veldrinMap.names, cell = 8, grid = {};
  for (var i = 0; i < spots.length; i += 3) {
    var k = Math.floor(spots[i] / cell) + ',' + Math.floor(spots[i + 1] / cell);
    (grid[k] = grid[k] || []).push(i);
  }
  image.addEventListener('mousemove', function (e) {
    var box = image.getBoundingClientRect();
    var x = (e.clientX - box.left) * image.naturalWidth / box.width;
    var y = (e.clientY - box.top) * image.naturalHeight / box.height;
    var found = {}, list = [];
    for (var gx = Math.floor(x / cell) - 1; gx <= Math.floor(x / cell) + 1; ++gx) {
      for (var gy = Math.floor(y / cell) - 1; gy <= Math.floor(y / cell) + 1; ++gy) {
        (grid[gx + ',' + gy] || []).forEach(function (s) {
          if (Math.abs(spots[s] - x) <= 3 && Math.abs(spots[s + 1] - y) <= 3 && !found[spots[s + 2]]) {
            found[spots[s + 2]] = true;
            list.push(names[spots[s + 2]]);
          }
        });
      }
    }
    if (!list.length) { tip.hidden = true; return; }
    list.sort(natural);
    tip.textContent = list.slice(0, 8).join(', ') + (list.length > 8 ? ' and ' + (list.length - 8) + ' more' : '');
    tip.style.left = (e.clientX - box.left + 14) + 'px';
    tip.style.top = (e.clientY - box.top + 14) + 'px';
    tip.hidden = false;
  });
  image.addEventListener('mouseleave', function () { tip.hidden = true; });
})();
)JS";

} // namespace veldrin
