// The page around the game's WebAssembly: it draws on the canvas, shows menus and message
// boxes, stores the settings file, plays sounds, and hands presses, menu commands and Escape to
// the game one at a time. The game decides everything; this only shows and listens.
'use strict';

const Page = (() => {
  const font = 'IPAPMincho, "IPA P明朝", "Noto Serif CJK JP", "Hiragino Mincho ProN", ' +
    '"Hiragino Mincho Pro", "Yu Mincho", YuMincho, serif';
  const pieces = ['W_PORN', 'W_NIGT', 'W_BSHO', 'W_ROOK', 'W_QUIN', 'W_KING', 'B_PORN', 'B_NIGT',
    'B_BSHO', 'B_ROOK', 'B_QUIN', 'B_KING'];
  const names = ['KARA_1', 'KARA_2', 'TAITORU', 'HAIKEI_MIDORI', 'HAIKEI_TATAMI', 'HAIKEI_TAKE',
    'HAIKEI_UCHU', 'HAIKEI_RENGA'].concat(...pieces.map((p) => [0, 1, 2].map((n) => `${p}_${n}`)));
  const sounds = [];  // the wave files' names, as the game gives them

  const canvas = document.getElementById('board');
  const ctx = canvas.getContext('2d', {alpha: false});
  const area = document.getElementById('area');
  const ring = document.getElementById('ring');
  const box = document.getElementById('box');
  const sets = new Map();  // picture set (1..4) -> Map(name -> image), once loaded
  let set = 1;
  let ready = false;
  let ended = false;
  const drawing = {x: 0, y: 0, width: 0, height: 0};  // where the picture stands, device pixels

  // --- Pictures and drawing ---
  function loadPictures(wanted) {
    if (sets.has(wanted)) return Promise.resolve();
    const images = new Map();
    return Promise.all(names.map((name) => {
      const image = new Image();
      image.src = `pictures/${wanted}x/${name}.${wanted === 1 ? 'bmp' : 'png'}`;
      return image.decode().then(() => images.set(name, image), () => {});
    })).then(() => sets.set(wanted, images));
  }
  const pictureNames = [];  // by the game's number for a picture
  // Where pictures are scaled and texts set before they join the game's pixels.
  const scratch = document.createElement('canvas');
  const scratchContext = scratch.getContext('2d', {willReadFrequently: true});
  let frame = null;  // the game's pixels as an ImageData, while its memory stays where it is
  const inks = new Map();  // a text's set ink (its alpha) by size and text
  function image(name) {
    const wanted = sets.get(set);
    if (wanted && wanted.has(name)) return [wanted.get(name), set];
    for (const [s, images] of sets) if (images.has(name)) return [images.get(name), s];
    return [null, 1];
  }
  function area_size() {
    return {width: area.clientWidth, height: area.clientHeight, ratio: window.devicePixelRatio || 1};
  }
  function relayout() {
    if (!ready) return;
    const a = area_size();
    const wanted = Module._web_layout(a.width, a.height, a.ratio);
    if (!sets.has(wanted)) loadPictures(wanted).then(relayout);
  }

  // --- Menus: mouse, touch and keyboard ---
  const tops = [...document.querySelectorAll('#menubar .top')];
  function closeMenus() {
    for (const open of document.querySelectorAll('#menubar .open')) {
      open.classList.remove('open');
      const button = open.querySelector(':scope > button');
      if (button) button.setAttribute('aria-expanded', 'false');
    }
  }
  function menuOpen() { return document.querySelector('#menubar .open') !== null; }
  function openTop(top, focusFirst) {
    closeMenus();
    const list = top.querySelector(':scope > ul');
    if (!list) return;
    top.classList.add('open');
    top.querySelector(':scope > button').setAttribute('aria-expanded', 'true');
    if (focusFirst) list.querySelector(':scope > li').focus();
  }
  function choose(item) {
    if (item.classList.contains('sub')) {
      item.classList.add('open');
      item.querySelector('li').focus();
      return;
    }
    closeMenus();
    canvas.focus();
    run('web_menu', Number(item.dataset.command));
  }
  for (const top of tops) {
    const button = top.querySelector(':scope > button');
    button.addEventListener('click', () => {
      if (button.dataset.command) {
        closeMenus();
        run('web_menu', Number(button.dataset.command));
      } else if (top.classList.contains('open')) {
        closeMenus();
      } else {
        openTop(top, false);
      }
    });
    button.addEventListener('mouseenter', () => { if (menuOpen()) openTop(top, false); });
    button.addEventListener('keydown', (e) => {
      if (e.key === 'ArrowDown' || e.key === 'Enter' || e.key === ' ') {
        if (button.dataset.command) return;
        e.preventDefault();
        openTop(top, true);
      } else if (e.key === 'ArrowRight' || e.key === 'ArrowLeft') {
        const next = tops[(tops.indexOf(top) + (e.key === 'ArrowRight' ? 1 : tops.length - 1)) % tops.length];
        next.querySelector('button').focus();
      }
    });
  }
  for (const item of document.querySelectorAll('#menubar li')) {
    item.addEventListener('click', (e) => { e.stopPropagation(); choose(item); });
    item.addEventListener('mouseenter', () => {
      if (item.classList.contains('sub')) item.classList.add('open');
      else if (!item.parentElement.closest('li.sub')) {
        for (const sub of item.parentElement.querySelectorAll(':scope > li.sub')) sub.classList.remove('open');
      }
    });
    item.addEventListener('keydown', (e) => {
      const siblings = [...item.parentElement.children];
      const at = siblings.indexOf(item);
      const top = item.closest('.top');
      if (e.key === 'ArrowDown' || e.key === 'ArrowUp') {
        siblings[(at + (e.key === 'ArrowDown' ? 1 : siblings.length - 1)) % siblings.length].focus();
      } else if (e.key === 'Enter' || e.key === ' ' || (e.key === 'ArrowRight' && item.classList.contains('sub'))) {
        choose(item);
      } else if (e.key === 'ArrowLeft' && item.parentElement.closest('li.sub')) {
        const parent = item.parentElement.closest('li.sub');
        parent.classList.remove('open');
        parent.focus();
      } else if (e.key === 'Escape') {
        closeMenus();
        top.querySelector('button').focus();
      } else {
        return;
      }
      e.preventDefault();
      e.stopPropagation();
    });
  }
  document.addEventListener('pointerdown', (e) => {
    if (!e.target.closest('#menubar')) closeMenus();
  }, true);

  // --- Presses: mouse buttons as on the desktop; on touch a tap is the left button and a long
  // press the right one, with a ring that fills while the finger stays. ---
  const buttons = {0: 1, 2: 2, 1: 4};
  const longPress = 500;
  let touch = null;
  function press(button, e) {
    const r = canvas.getBoundingClientRect();
    run('web_press', button, e.clientX - r.left, e.clientY - r.top);
  }
  canvas.addEventListener('contextmenu', (e) => e.preventDefault());
  canvas.addEventListener('pointerdown', (e) => {
    audio.resume();
    if (menuOpen()) { closeMenus(); return; }
    if (e.pointerType !== 'touch') {
      e.preventDefault();
      press(buttons[e.button] || 8, e);
      return;
    }
    if (touch) return;  // a second finger does nothing
    const r = area.getBoundingClientRect();
    ring.style.left = `${e.clientX - r.left}px`;
    ring.style.top = `${e.clientY - r.top}px`;
    ring.hidden = false;
    ring.style.animation = 'none';
    void ring.offsetWidth;  // restarts the ring's animation
    ring.style.animation = '';
    touch = {id: e.pointerId, x: e.clientX, y: e.clientY, start: e,
      timer: setTimeout(() => { ring.hidden = true; press(2, touch.start); touch.done = true; }, longPress)};
  });
  function endTouch(e, tapped) {
    if (!touch || e.pointerId !== touch.id) return;
    clearTimeout(touch.timer);
    ring.hidden = true;
    if (tapped && !touch.done) press(1, touch.start);
    touch = null;
  }
  canvas.addEventListener('pointerup', (e) => endTouch(e, true));
  canvas.addEventListener('pointercancel', (e) => endTouch(e, false));
  canvas.addEventListener('pointermove', (e) => {
    // A finger that wanders off is no press at all.
    if (touch && e.pointerId === touch.id && Math.hypot(e.clientX - touch.x, e.clientY - touch.y) > 16)
      endTouch(e, false);
  });
  document.addEventListener('keydown', (e) => {
    audio.resume();
    // F10 takes the keyboard to the menu bar, as on the desktop.
    if (e.key === 'F10' && !box.open) {
      e.preventDefault();
      tops[0].querySelector('button').focus();
      return;
    }
    if (e.key !== 'Escape' || box.open || menuOpen() || ended) return;
    // On the menu bar, Escape only leaves it.
    if (e.target.closest && e.target.closest('#menubar')) {
      canvas.focus();
      return;
    }
    e.preventDefault();
    run('web_shut_down');
    queue.push(async () => {
      ended = true;
      document.getElementById('ended').hidden = false;
      document.querySelector('#ended button').focus();
    });
  });
  document.querySelector('#ended button').addEventListener('click', () => location.reload());

  // --- One game procedure at a time, in the order asked; the page stays live meanwhile. ---
  const queue = [];
  let running = false;
  const idlers = [];
  function run(name, ...args) {
    if (ended) return;
    queue.push(() => Module.ccall(name, null, args.map(() => 'number'), args, {async: true}));
    pump();
  }
  async function pump() {
    if (running || !ready) return;
    running = true;
    while (queue.length) await queue.shift()();
    running = false;
    for (const resolve of idlers.splice(0)) resolve();
  }

  // --- The settings file in the browser's storage, as the very bytes (one char per byte). ---
  const storage = {
    // The item's length; -1 when there is none, -2 when the storage refuses to be read.
    size(name) {
      try {
        const value = localStorage.getItem(name);
        return value === null ? -1 : value.length;
      } catch (e) {
        return -2;
      }
    },
    read(name, out, length) {
      const value = localStorage.getItem(name) || '';
      for (let i = 0; i < length; ++i) HEAPU8[out + i] = value.charCodeAt(i) & 255;
    },
    write(name, bytes, length) {
      let value = '';
      for (let i = 0; i < length; i += 4096)
        value += String.fromCharCode(...HEAPU8.subarray(bytes + i, bytes + Math.min(length, i + 4096)));
      try {
        localStorage.setItem(name, value);
        return 0;
      } catch (e) {
        return e && e.name === 'QuotaExceededError' ? 1 : e && e.name === 'SecurityError' ? 2 : 3;
      }
    },
  };

  // --- Web Audio: each buffer one voice; music through a half-level gain. The browser starts
  // audio only after a gesture; an effect asked for before then is dropped, not played late. ---
  const audio = {
    context: null,
    music: null,
    voices: new Map(),
    open() {
      const Context = window.AudioContext || window.webkitAudioContext;
      if (!Context) return 0;
      try {
        this.context = new Context();
      } catch (e) {
        return 0;
      }
      this.music = this.context.createGain();
      this.music.gain.value = 0.5;
      this.music.connect(this.context.destination);
      return 1;
    },
    buffer(handle, channels, frames, rate, samples, effect) {
      try {
        const b = this.context.createBuffer(channels, frames, rate);
        for (let c = 0; c < channels; ++c) b.copyToChannel(samples.subarray(c * frames, (c + 1) * frames), c);
        this.voices.set(handle, {buffer: b, effect: !!effect, source: null});
        return 1;
      } catch (e) {
        return 0;
      }
    },
    play(handle, loop) {
      const voice = this.voices.get(handle);
      if (!voice) return;
      this.stop(handle);
      if (!loop && this.context.state !== 'running') return;
      const source = this.context.createBufferSource();
      source.buffer = voice.buffer;
      source.loop = !!loop;
      source.connect(voice.effect ? this.context.destination : this.music);
      source.start();
      voice.source = source;
    },
    stop(handle) {
      const voice = this.voices.get(handle);
      if (!voice || !voice.source) return;
      try { voice.source.stop(); } catch (e) { /* never started */ }
      voice.source.disconnect();
      voice.source = null;
    },
    free(handle) {
      this.stop(handle);
      this.voices.delete(handle);
    },
    close() {
      if (this.context) this.context.close();
      this.context = null;
    },
    resume() {
      if (this.context && this.context.state === 'suspended') this.context.resume();
    },
  };

  // --- Message boxes: modal, closed by OK, Return or Escape; the game waits for them. ---
  function messageBox(text, caption, warning) {
    box.querySelector('.caption').textContent = caption;
    box.querySelector('.text').textContent = text.replace(/\r\n?/g, '\n');
    box.classList.toggle('warning', !!warning);
    closeMenus();
    return new Promise((resolve) => {
      box.addEventListener('close', () => { canvas.focus(); resolve(); }, {once: true});
      box.showModal();
      box.querySelector('button').focus();
    });
  }

  // After the first frame: the waves go into the game's current folder, then the sound starts.
  async function startSound() {
    await Promise.all(sounds.map(async (name) => {
      try {
        const response = await fetch(`sounds/${encodeURIComponent(name)}`);
        if (response.ok) FS.writeFile(name, new Uint8Array(await response.arrayBuffer()));
      } catch (e) { /* a missing wave plays as silence, as on the desktop */ }
    }));
    run('web_start_sound');
  }

  window.addEventListener('resize', relayout);
  canvas.tabIndex = 0;

  return {
    area: area_size,
    loadPictures,
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
    namePicture(id, name) { pictureNames[id] = name; },
    nameSound(name) { sounds.push(name); },
    // A picture's pixels at w × h device pixels, into the game's memory at `out`.
    picturePixels(id, w, h, out) {
      const [img] = image(pictureNames[id]);
      if (!img) return;
      scratch.width = w;
      scratch.height = h;
      scratchContext.imageSmoothingQuality = 'high';
      scratchContext.drawImage(img, 0, 0, w, h);
      HEAPU8.set(scratchContext.getImageData(0, 0, w, h).data, out);
    },
    pictureSize(id) {
      const [img, s] = image(pictureNames[id]);
      return img ? (Math.round(img.naturalWidth / s) << 16) | Math.round(img.naturalHeight / s) : 0;
    },
    // A text's line box and ink at a size, in pixels from its top-left corner, into `box`
    // (left, top, right, bottom): from it the game knows what later pictures cover it.
    textBox(text, size, box) {
      scratchContext.font = `${size}px ${font}`;
      const m = scratchContext.measureText(text);
      const ascent = m.fontBoundingBoxAscent !== undefined ? m.fontBoundingBoxAscent : size * 0.88;
      const descent = m.fontBoundingBoxDescent !== undefined ? m.fontBoundingBoxDescent : size * 0.3;
      const baseline = Math.round(ascent);
      const inkLeft = m.actualBoundingBoxLeft !== undefined ? -m.actualBoundingBoxLeft : 0;
      const inkRight = m.actualBoundingBoxRight !== undefined ? m.actualBoundingBoxRight : m.width;
      const inkTop = m.actualBoundingBoxAscent !== undefined ? baseline - m.actualBoundingBoxAscent : 0;
      const inkBottom = m.actualBoundingBoxDescent !== undefined ? baseline + m.actualBoundingBoxDescent : 0;
      HEAPF64.set([Math.min(0, inkLeft), Math.min(0, inkTop), Math.max(m.width, inkRight),
        Math.max(baseline + descent, inkBottom)], box >> 3);
    },
    // Text set in the page's fonts and blended into the game's pixels (width × height at
    // `pixels`) within the drawing's area `clip`, in `colour` (0xRRGGBB); what it touched goes to
    // `box` (x0, y0, x1, y1).
    blendText(pixels, width, height, clip, x, y, text, size, colour, box) {
      const margin = 4;
      const key = `${size} ${text}`;
      let entry = inks.get(key);
      if (!entry) {
        scratchContext.font = `${size}px ${font}`;
        const m = scratchContext.measureText(text);
        const ascent = m.fontBoundingBoxAscent !== undefined ? m.fontBoundingBoxAscent : size * 0.88;
        const descent = m.fontBoundingBoxDescent !== undefined ? m.fontBoundingBoxDescent : size * 0.3;
        const cw = Math.ceil(m.width) + 2 * margin, ch = Math.ceil(ascent + descent) + 2 * margin;
        scratch.width = cw;
        scratch.height = ch;
        scratchContext.font = `${size}px ${font}`;
        scratchContext.fillStyle = '#000';
        scratchContext.fillText(text, margin, margin + Math.round(ascent));
        entry = {w: cw, h: ch, ink: scratchContext.getImageData(0, 0, cw, ch).data};
        // The score's texts change with every chain: only the latest few are kept.
        if (inks.size > 64) inks.delete(inks.keys().next().value);
        inks.set(key, entry);
      }
      const {w, h, ink} = entry;
      const rgb = [colour >> 16, (colour >> 8) & 255, colour & 255];
      const x0 = Math.max(x - margin, clip[0]), y0 = Math.max(y - margin, clip[1]);
      const x1 = Math.min(x - margin + w, clip[2]), y1 = Math.min(y - margin + h, clip[3]);
      for (let py = y0; py < y1; ++py) {
        for (let px = x0; px < x1; ++px) {
          const a = ink[((py - y + margin) * w + (px - x + margin)) * 4 + 3];
          if (a === 0) continue;
          const at = pixels + (py * width + px) * 4;
          for (let k = 0; k < 3; ++k) HEAPU8[at + k] = (rgb[k] * a + HEAPU8[at + k] * (255 - a) + 127) / 255;
        }
      }
      HEAP32.set([x0, y0, x1, y1], box >> 2);
    },
    // Puts the part (x, y, w, h) of the game's pixels (width × height at `pixels`) on the canvas.
    put(pixels, width, height, x, y, w, h) {
      if (!frame || frame.data.buffer !== HEAPU8.buffer || frame.data.byteOffset !== pixels ||
          frame.width !== width || frame.height !== height)
        frame = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, pixels, width * height * 4), width, height);
      ctx.putImageData(frame, 0, 0, x, y, w, h);
    },
    setChecked(item, on) {
      const element = document.querySelector(`#menubar [data-item="${item}"]`);
      if (element) element.setAttribute('aria-checked', on ? 'true' : 'false');
    },
    messageBox,
    storage,
    audio,
    started() {
      ready = true;
      pump();
      // The second callback runs once the first frame has gone to the screen.
      requestAnimationFrame(() => requestAnimationFrame(() => {
        Page.firstFrame = performance.now();
        document.body.dataset.frame = '1';
        startSound();
      }));
    },
    drawing,
    // For the page's tests and benchmarks: resolves once every asked procedure has run.
    idle() {
      return new Promise((resolve) => (running || queue.length ? idlers.push(resolve) : resolve()));
    },
  };
})();

var Module = {};

if ('serviceWorker' in navigator && location.protocol !== 'file:')
  navigator.serviceWorker.register('sw.js').catch(() => {});
