start();
})();
