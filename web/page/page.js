// The page around the game's WebAssembly. The game decides everything; the page shows and
// listens. This script runs the game's procedures one at a time and shows its message boxes; the
// others, each using only the ones before it, draw (drawing.js), keep the settings file
// (storage.js), sound (audio.js), show the menus (menus.js) and take presses and keys (input.js).
// The game reaches them through web/bridge.js. The numbers they share with it were written into
// the page from the game's own tables when the site was built.
'use strict';

const Page = (() => {
  const canvas = document.getElementById('board');
  const box = document.getElementById('box');
  // When a procedure fails half-way, the player is told once and the page goes on.
  const failure = '処理の途中で問題が起きたため、最後まで行えませんでした。\r' +
    'このまま続けて遊ぶことができます。';
  // The mouse buttons, the storage's answers, the kinds of sound, the picture sheets and each
  // picture's place in them.
  const codes = JSON.parse(document.getElementById('contract').textContent);
  let onShown = null;
  let ready = false;
  let ended = false;

  // --- One game procedure at a time, in the order asked; the page stays live meanwhile. ---
  const queue = [];
  let running = false;
  const idlers = [];
  function call(name, ...args) {
    return Module.ccall(name, null, args.map(() => 'number'), args, {async: true});
  }
  // `procedure` runs when its turn comes, once the game has started.
  function schedule(procedure) {
    if (ended) return;
    queue.push(procedure);
    pump();
  }
  async function pump() {
    if (running || !ready) return;
    running = true;
    while (queue.length) {
      const procedure = queue.shift();
      const stack = Module.stackSave();
      try {
        await procedure();
      } catch (e) {
        // A procedure thrown out of (a page call that failed, the WebAssembly aborting) left its
        // frames on the game's stack: they go, and the next press finds the page as before.
        Module.stackRestore(stack);
        console.error(e);
        try {
          await messageBox(failure, 'Pawnfall', true);
        } catch { /* no box could be shown: the next press is taken all the same */ }
      }
    }
    running = false;
    for (const resolve of idlers.splice(0)) resolve();
  }

  // --- Message boxes: modal, closed by OK, Return or Escape; the game waits for them. ---
  // One at a time: a box asked for while another is open waits for it to close.
  let boxes = Promise.resolve();
  function messageBox(text, caption, warning) {
    const shown = boxes.then(() => new Promise((resolve) => {
      box.querySelector('.caption').textContent = caption;
      box.querySelector('.text').textContent = text.replace(/\r\n?/g, '\n');
      box.classList.toggle('warning', !!warning);
      box.addEventListener('close', () => { canvas.focus(); resolve(); }, {once: true});
      box.showModal();
      box.querySelector('button').focus();
    }));
    boxes = shown;
    return shown;
  }

  return {
    // The numbers the game shares with the page, as the game declares them.
    codes,
    // A press of `button` ('left', 'right', 'middle' or 'other') at css pixels of the canvas.
    press(button, x, y) { schedule(() => call('web_press', codes.buttons[button], x, y)); },
    // The game's start, its first procedure: the others wait for it to tell the page it started.
    async start() { await call('web_start'); },
    menu(command) { schedule(() => call('web_menu', command)); },
    settingsChanged() { schedule(() => call('web_settings_changed')); },
    shutDown() {
      schedule(() => call('web_shut_down'));
      schedule(async () => {
        ended = true;
        document.getElementById('ended').hidden = false;
        document.querySelector('#ended button').focus();
      });
    },
    get ready() { return ready; },
    get ended() { return ended; },
    messageBox,
    started() {
      ready = true;
      pump();
      // The second callback runs once the first frame has gone to the screen.
      requestAnimationFrame(() => requestAnimationFrame(() => {
        Page.firstFrame = performance.now();
        document.body.dataset.frame = '1';
        onShown();
      }));
    },
    // Resolves once the first frame is on the screen; what can wait, waits for it.
    shown: new Promise((resolve) => { onShown = resolve; }),
    // Starts the sound, once the page has fetched the wave files.
    startSound() { schedule(() => call('web_start_sound')); },
    // For the page's tests and benchmarks: resolves once every asked procedure has run.
    idle() {
      return new Promise((resolve) => (running || queue.length ? idlers.push(resolve) : resolve()));
    },
  };
})();

var Module = {
  // The game starts as soon as its code is ready.
  onRuntimeInitialized() { Page.start().catch((e) => console.error('pawnfall:', e)); },
};

// The game's code compiles while the page's scripts run and its loader comes, not after. A
// server that sends it under another type than application/wasm gets it compiled from its bytes.
if (WebAssembly.compileStreaming) {
  const code = () => fetch('pawnfall.wasm', {credentials: 'same-origin'});
  const compiled = WebAssembly.compileStreaming(code())
    .catch(() => code().then((response) => response.arrayBuffer()).then((bytes) => WebAssembly.compile(bytes)));
  Module.instantiateWasm = (imports, receive) => {
    compiled.then((module) => WebAssembly.instantiate(module, imports)
      .then((instance) => receive(instance, module)))
      .catch((e) => console.error('pawnfall.wasm:', e));
    return {};
  };
}

// The app's manifest is linked once the first frame is shown: the browser asks for it when the
// page has loaded, and reading it held the game's start back by some milliseconds of the page's
// one thread. Installing the app can wait that long.
Page.shown.then(() => {
  const manifest = document.createElement('link');
  manifest.rel = 'manifest';
  manifest.href = 'manifest.webmanifest';
  document.head.append(manifest);
});

if ('serviceWorker' in navigator && location.protocol !== 'file:') {
  // Not before the first frame: starting the worker and filling its cache took the processor
  // from the game's start, and a first visit's first frame came 30 to 40 ms later.
  Page.shown.then(() => navigator.serviceWorker.register('sw.js')).catch(() => {});
  // The first visit fetched its picture sheet before the worker could keep it: the worker is
  // told, once it is there, and again for the waves fetched after the first frame.
  Page.keepForOffline = () => navigator.serviceWorker.ready.then((registration) =>
    registration.active && registration.active.postMessage({keep: performance
      .getEntriesByType('resource').map((e) => e.name)
      .filter((url) => /\/(pictures|sounds)\//.test(url))}));
  Page.shown.then(Page.keepForOffline);
}
