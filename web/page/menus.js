// The menu bar, for the mouse, touch and keyboard. It comes with the page, written from the game's
// menu table when the site is built (tools/make_page_parts.cpp); each entry carries the command it
// hands the game back when chosen, and a check item the game's check mark.
'use strict';

Page.menus = (() => {
  const bar = document.getElementById('menubar');
  const canvas = document.getElementById('board');
  const tops = [...bar.querySelectorAll(':scope > .top')];

  function close() {
    for (const open of bar.querySelectorAll('.open')) {
      open.classList.remove('open');
      const button = open.querySelector(':scope > button');
      if (button) button.setAttribute('aria-expanded', 'false');
    }
  }
  function isOpen() { return bar.querySelector('.open') !== null; }
  function openTop(top, focusFirst) {
    close();
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
    close();
    canvas.focus();
    Page.menu(Number(item.dataset.command));
  }

  function listenOnTop(top) {
    const button = top.querySelector(':scope > button');
    button.addEventListener('click', () => {
      if (button.dataset.command !== undefined) {
        close();
        Page.menu(Number(button.dataset.command));
      } else if (top.classList.contains('open')) {
        close();
      } else {
        openTop(top, false);
      }
    });
    button.addEventListener('mouseenter', () => { if (isOpen()) openTop(top, false); });
    button.addEventListener('keydown', (e) => {
      if (e.key === 'ArrowDown' || e.key === 'Enter' || e.key === ' ') {
        if (button.dataset.command !== undefined) return;
        e.preventDefault();
        openTop(top, true);
      } else if (e.key === 'ArrowRight' || e.key === 'ArrowLeft') {
        const next = tops[(tops.indexOf(top) + (e.key === 'ArrowRight' ? 1 : tops.length - 1)) % tops.length];
        next.querySelector('button').focus();
      }
    });
  }
  function listenOnItem(item) {
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
        close();
        top.querySelector('button').focus();
      } else {
        return;
      }
      e.preventDefault();
      e.stopPropagation();
    });
  }

  tops.forEach(listenOnTop);
  bar.querySelectorAll('li').forEach(listenOnItem);

  document.addEventListener('pointerdown', (e) => {
    if (!e.target.closest('#menubar')) close();
  }, true);
  // Nor do they stay open under a message box, which takes the focus.
  document.addEventListener('focusin', (e) => {
    if (!e.target.closest('#menubar')) close();
  });

  return {
    close,
    isOpen,
    // F10 takes the keyboard to the bar, as on the desktop.
    focus() { if (tops.length) tops[0].querySelector('button').focus(); },
    setChecked(item, on) {
      const element = bar.querySelector(`[data-item="${item}"]`);
      if (element) element.setAttribute('aria-checked', on ? 'true' : 'false');
    },
  };
})();
