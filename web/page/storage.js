// The settings file in the browser's storage, as the very bytes (one char per byte). The answers
// are the codes the game handed over.
'use strict';

// Another tab that saves may have read the storage before this one's save reached it: the game
// looks whether its best score is still there.
window.addEventListener('storage', (e) => {
  if (e.storageArea === localStorage) Page.settingsChanged();
});

Page.storage = (() => {
  // The stored bytes, one char each. A value edited by hand in the browser's tools holds real
  // text instead, kanji and all: it is handed over as that text in UTF-16 after a byte-order
  // mark, which the game reads as it reads such a file on the desktop.
  function bytesOf(value) {
    if (!/[^\x00-\xff]/.test(value))
      return Uint8Array.from(value, (c) => c.charCodeAt(0));
    const bytes = new Uint8Array(2 + value.length * 2);
    bytes[0] = 0xFF;
    bytes[1] = 0xFE;
    for (let i = 0; i < value.length; ++i) {
      bytes[2 + i * 2] = value.charCodeAt(i) & 255;
      bytes[3 + i * 2] = value.charCodeAt(i) >> 8;
    }
    return bytes;
  }

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
        found = {name, bytes: bytesOf(value)};
        return found.bytes.length;
      } catch (e) {
        return codes.refused;
      }
    },
    read(name, out, length) {
      const bytes = found && found.name === name ? found.bytes : new Uint8Array(0);
      found = null;
      HEAPU8.set(bytes.subarray(0, length), out);
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
