// The settings file in the browser's storage, as the very bytes (one char per byte). The answers
// are the codes the game handed over.
'use strict';

Page.storage = {
  size(name) {
    const codes = Page.codes.storage;
    try {
      const value = localStorage.getItem(name);
      return value === null ? codes.missing : value.length;
    } catch (e) {
      return codes.refused;
    }
  },
  read(name, out, length) {
    const value = localStorage.getItem(name) || '';
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
