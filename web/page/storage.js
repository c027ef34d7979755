// The settings file in the browser's storage, as the very bytes (one char per byte). The answers
// are the codes the game handed over.
'use strict';

Page.storage = (() => {
  // The item as the length was taken from: the bytes then come from the same look, which a
  // storage that refuses or changes meanwhile cannot split.
  let found = null;
  return {
    size(name) {
      const codes = Page.codes.storage;
      found = null;
      try {
        const value = localStorage.getItem(name);
        if (value === null) return codes.missing;
        found = {name, value};
        return value.length;
      } catch (e) {
        return codes.refused;
      }
    },
    read(name, out, length) {
      const value = found && found.name === name ? found.value : '';
      found = null;
      for (let i = 0; i < length; ++i) HEAPU8[out + i] = value.charCodeAt(i) & 255;
    },
    write(name, bytes, length) {
      const codes = Page.codes.storage;
      let value = '';
      for (let i = 0; i < length; i += 4096)
        value += String.fromCharCode(...HEAPU8.subarray(bytes + i, bytes + Math.min(length, i + 4096)));
      try {
        localStorage.setItem(name, value);
        return codes.saved;
      } catch (e) {
        return e && e.name === 'QuotaExceededError' ? codes.noSpace :
          e && e.name === 'SecurityError' ? codes.notPermitted : codes.failed;
      }
    },
  };
})();
