// The page's drawing: the canvas sized to the page, the pictures loaded for its density and
// scaled, texts set in the page's fonts, and the game's pixels put on the canvas.
'use strict';

Object.assign(Page, (() => {
  const font = 'IPAPMincho, "IPA P明朝", "Noto Serif CJK JP", "Hiragino Mincho ProN", ' +
    '"Hiragino Mincho Pro", "Yu Mincho", YuMincho, serif';
  const canvas = document.getElementById('board');
  const ctx = canvas.getContext('2d', {alpha: false});
  const area = document.getElementById('area');
  // The sheet of each set and where each picture stands in the 1x one, as the game names them.
  const {sheets, places} = Page.codes;
  let set = 1;
  const drawing = {x: 0, y: 0, width: 0, height: 0};  // where the picture stands, device pixels

  const images = new Map();  // a sheet's address -> its image, once loaded
  const loading = new Map();  // a sheet's address -> the promise of it, while it comes
  // A sheet is decoded off the page's thread as it arrives, and its pixels read, while the game's
  // code is still on its way: the first pictures drawn then only copy rows.
  const decoded = new WeakMap();  // a sheet's image -> its decoded bitmap
  function fetchSheet(url) {
    if (images.has(url)) return Promise.resolve();
    if (!loading.has(url)) {
      const sheet = new Image();
      // A sheet that cannot be had leaves its pictures out, as a missing picture on the desktop.
      loading.set(url, new Promise((resolve) => {
        sheet.onload = () => {
          images.set(url, sheet);
          resolve();
          if (!window.createImageBitmap) return;
          createImageBitmap(sheet).then((bitmap) => {
            decoded.set(sheet, bitmap);
            if (!Page.ready) readSheet(sheet);
          }, () => {});
        };
        sheet.onerror = () => resolve();
        sheet.src = url;
      }).finally(() => loading.delete(url)));
    }
    return loading.get(url);
  }
  function loadPictures(wanted) { return fetchSheet(sheets[wanted]); }
  function hasPictures(wanted) { return images.has(sheets[wanted]); }
  // The sheet the head preloads for this screen's density is taken at once, not when the game
  // first asks: it is then usually there before the game has started.
  for (const link of document.querySelectorAll('link[rel=preload][as=image]'))
    if (matchMedia(link.media).matches) fetchSheet(link.getAttribute('href'));
  // Where pictures are scaled and texts set before they join the game's pixels.
  const scratch = document.createElement('canvas');
  const scratchContext = scratch.getContext('2d', {willReadFrequently: true});
  let frame = null;  // the game's pixels as an ImageData, while its memory stays where it is
  let sheetPixels = null;  // the sheet in use, read back once: {image, width, data}
  let ink = null;  // the latest text set, until the game reads it
  const measures = new Map();  // a text's measures by size and text
  // The board's face is read and its glyphs made while the game's code is still on its way, not
  // when the first frame prints its labels.
  scratchContext.font = `22px ${font}`;
  scratchContext.fillText('加算点数 最高 SCORE 0123456789', 0, 22);
  // So is the page's first layout: the game's first look at its area then only lays out what
  // its menus changed, not the whole page.
  void area.clientWidth;
  // The pixels of a sheet, read back once for as long as it is the one in use.
  function readSheet(image) {
    if (!sheetPixels || sheetPixels.image !== image) {
      scratch.width = image.naturalWidth;
      scratch.height = image.naturalHeight;
      scratchContext.drawImage(decoded.get(image) || image, 0, 0);
      sheetPixels = {image, width: image.naturalWidth,
        data: scratchContext.getImageData(0, 0, image.naturalWidth, image.naturalHeight).data};
    }
    return sheetPixels;
  }
  // The sheet to scale a picture from: the wanted set's, else the densest one there is.
  function sheet() {
    if (hasPictures(set)) return [images.get(sheets[set]), set];
    let best = [null, 1];
    for (const [s, url] of Object.entries(sheets)) {
      const image = images.get(url);
      if (image && (!best[0] || Number(s) > best[1])) best = [image, Number(s)];
    }
    return best;
  }
  // A text's measures at a size, kept for the box the game records and the ink it blends, which
  // ask for the same text at the same size at the starting scale.
  function measure(text, size) {
    const key = `${size} ${text}`;
    const known = measures.get(key);
    if (known) return known;
    scratchContext.font = `${size}px ${font}`;
    const m = scratchContext.measureText(text);
    const ascent = m.fontBoundingBoxAscent !== undefined ? m.fontBoundingBoxAscent : size * 0.88;
    const descent = m.fontBoundingBoxDescent !== undefined ? m.fontBoundingBoxDescent : size * 0.3;
    const baseline = Math.round(ascent);
    const inkLeft = m.actualBoundingBoxLeft !== undefined ? -m.actualBoundingBoxLeft : 0;
    const inkRight = m.actualBoundingBoxRight !== undefined ? m.actualBoundingBoxRight : m.width;
    const inkTop = m.actualBoundingBoxAscent !== undefined ? baseline - m.actualBoundingBoxAscent : 0;
    const inkBottom = m.actualBoundingBoxDescent !== undefined ? baseline + m.actualBoundingBoxDescent : 0;
    const measured = {width: m.width, ascent, descent, box: [Math.min(0, inkLeft), Math.min(0, inkTop),
      Math.max(m.width, inkRight), Math.max(baseline + descent, inkBottom)]};
    // The labels and the numbers come again and again: only the latest few are kept.
    if (measures.size > 64) measures.delete(measures.keys().next().value);
    measures.set(key, measured);
    return measured;
  }
  function area_size() {
    return {width: area.clientWidth, height: area.clientHeight, ratio: window.devicePixelRatio || 1};
  }
  function relayout() {
    if (!Page.ready) return;
    const a = area_size();
    const wanted = Module._web_layout(a.width, a.height, a.ratio);
    if (!hasPictures(wanted)) loadPictures(wanted).then(relayout);
  }
  window.addEventListener('resize', relayout);

  return {
    area: area_size,
    loadPictures,
    hasPictures,
    layout(width, height, x, y, w, h, wanted) {
      const ratio = window.devicePixelRatio || 1;
      canvas.width = width;
      canvas.height = height;
      canvas.style.width = `${width / ratio}px`;
      canvas.style.height = `${height / ratio}px`;
      set = wanted;
      Object.assign(drawing, {x, y, width: w, height: h});
      frame = null;
    },
    // A picture's pixels at w × h device pixels, into the game's memory at `out`.
    picturePixels(id, w, h, out) {
      const [image, s] = sheet();
      const place = places[id];
      if (!image || !place) return;
      const source = decoded.get(image) || image;
      if (w === place[2] * s && h === place[3] * s) {
        // At the set's own size, rows of the sheet's pixels, which are read once: reading each
        // picture back from a canvas cost most of the first frame.
        const {width, data} = readSheet(image);
        for (let y = 0; y < h; ++y) {
          const from = ((place[1] * s + y) * width + place[0] * s) * 4;
          HEAPU8.set(data.subarray(from, from + w * 4), out + y * w * 4);
        }
        return;
      }
      scratch.width = w;
      scratch.height = h;
      scratchContext.imageSmoothingQuality = 'high';
      scratchContext.drawImage(source, place[0] * s, place[1] * s, place[2] * s, place[3] * s, 0, 0, w, h);
      HEAPU8.set(scratchContext.getImageData(0, 0, w, h).data, out);
    },
    // A text's line box and ink at a size, in pixels from its top-left corner, into `box`
    // (left, top, right, bottom): from it the game knows when later pictures cover it.
    textBox(text, size, box) { HEAPF64.set(measure(text, size).box, box >> 3); },
    // A text set in the page's fonts at `size` pixels, in black on clear, for the game to blend
    // into its pixels: its width, height and margin go to `form`, its bytes wait for
    // readTextInk. Answers their length.
    textInk(text, size, form) {
      const margin = 4;
      const {width, ascent, descent} = measure(text, size);
      const w = Math.ceil(width) + 2 * margin, h = Math.ceil(ascent + descent) + 2 * margin;
      scratch.width = w;
      scratch.height = h;
      scratchContext.font = `${size}px ${font}`;
      scratchContext.fillStyle = '#000';
      scratchContext.fillText(text, margin, margin + Math.round(ascent));
      ink = scratchContext.getImageData(0, 0, w, h).data;
      HEAP32.set([w, h, margin], form >> 2);
      return ink.length;
    },
    readTextInk(out) {
      if (ink) HEAPU8.set(ink, out);
      ink = null;
    },
    // Puts the part (x, y, w, h) of the game's pixels (width × height at `pixels`) on the canvas.
    put(pixels, width, height, x, y, w, h) {
      if (!frame || frame.data.buffer !== HEAPU8.buffer || frame.data.byteOffset !== pixels ||
          frame.width !== width || frame.height !== height)
        frame = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, pixels, width * height * 4), width, height);
      ctx.putImageData(frame, 0, 0, x, y, w, h);
    },
    drawing,
  };
})());
