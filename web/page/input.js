// Presses and keys for the game: mouse buttons as on the desktop; on touch a tap is the left
// button and a long press the right one, with a ring that fills while the finger stays; Escape
// ends the game, F10 goes to the menu bar.
'use strict';

(() => {
  const canvas = document.getElementById('board');
  const area = document.getElementById('area');
  const ring = document.getElementById('ring');
  const box = document.getElementById('box');
  // The browser's numbering of the buttons, to the game's names for them.
  const buttons = {0: 'left', 1: 'middle', 2: 'right'};
  const longPress = 500;
  let touch = null;

  function press(button, e) {
    const r = canvas.getBoundingClientRect();
    Page.press(button, e.clientX - r.left, e.clientY - r.top);
  }
  canvas.addEventListener('contextmenu', (e) => e.preventDefault());
  canvas.addEventListener('pointerdown', (e) => {
    if (Page.menus.isOpen()) { Page.menus.close(); return; }
    if (e.pointerType !== 'touch') {
      e.preventDefault();
      press(buttons[e.button] || 'other', e);
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
      timer: setTimeout(() => { ring.hidden = true; press('right', touch.start); touch.done = true; }, longPress)};
  });
  function endTouch(e, tapped) {
    if (!touch || e.pointerId !== touch.id) return;
    clearTimeout(touch.timer);
    ring.hidden = true;
    // A long press has already been the right button: its release is no tap.
    if (tapped && !touch.done) press('left', touch.start);
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
    if (e.key === 'F10' && !box.open) {
      e.preventDefault();
      Page.menus.focus();
      return;
    }
    if (e.key !== 'Escape' || box.open || Page.menus.isOpen() || Page.ended) return;
    // On the menu bar, Escape only leaves it.
    if (e.target.closest && e.target.closest('#menubar')) {
      canvas.focus();
      return;
    }
    e.preventDefault();
    Page.shutDown();
  });
  document.querySelector('#ended button').addEventListener('click', () => location.reload());
  canvas.tabIndex = 0;
})();
