// The report's 3D view: draws window.veldrinScene (scene.js, described in docs/SCENE.md) with WebGL2.
// The files of this folder are joined in name order into one script; this one opens its scope.
(function () {
"use strict";
