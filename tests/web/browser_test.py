#!/usr/bin/env python3
"""The browser version against the desktop program: the site in headless Chromium (and Firefox)
from a local server, compared board for board and byte for byte with what desktop_reference
wrote. One case per run: browser_test.py CASE SITE REFERENCE."""
import base64
import functools
import http.server
import io
import json
import os
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time
import wave

from PIL import Image, ImageChops
from selenium import webdriver
from selenium.webdriver.chrome.service import Service

# The squares' pixels at zoom 1, outlines included: columns and rows 1 to 20 and 1 to 12.
BOARD = (44, 131, 725, 540)
END_TEXT = 'これ以上取る事のできる駒はありません'
REMINDER = '局面　⇒　最初　にしてください'
BUTTONS = {1: 'left', 2: 'right', 4: 'middle'}
DRIVERS = []  # every browser started, all ended however the case ends


class Quiet(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def serve(site, host='127.0.0.1', handler=Quiet):
    server = http.server.ThreadingHTTPServer((host, 0), functools.partial(handler, directory=site))
    server.handle_error = lambda *args: None  # a browser that drops a connection is no failure
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return f'http://{host}:{server.server_address[1]}/'


def chrome(url, width=780, height=720, ratio=1, touch=False, mobile=False, before=None):
    options = webdriver.ChromeOptions()
    options.binary_location = '/usr/bin/chromium'
    for a in ('--headless=new', '--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage',
              '--hide-scrollbars',
              f'--user-data-dir={tempfile.mkdtemp(prefix="pawnfall-chrome-")}'):
        options.add_argument(a)
    driver = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
    DRIVERS.append(driver)
    # The waits in the page bound themselves; this only stops one that never answers.
    driver.set_script_timeout(600)
    driver.execute_cdp_cmd('Emulation.setDeviceMetricsOverride', {
        'width': width, 'height': height, 'deviceScaleFactor': ratio, 'mobile': mobile})
    if touch:
        driver.execute_cdp_cmd('Emulation.setTouchEmulationEnabled', {'enabled': True, 'maxTouchPoints': 1})
    if before:
        driver.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument', {'source': before})
    driver.get(url)
    if not before:
        first_frame(driver)
    return driver


def wait_for(driver, script, seconds=30):
    """What the script answers, once it answers something; None after the time."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        answer = driver.execute_script(script)
        if answer:
            return answer
        time.sleep(0.05)
    return None


def first_frame(driver):
    assert wait_for(driver, 'return document.body.dataset.frame'), 'the page never showed its first frame'


# Answers the open message box's text as soon as one opens; else, once the page has started
# (within a minute) and the game has nothing left to do (an open box keeps it busy), after
# arguments[0] seconds more.
BOX = '''
    const [seconds, done] = [arguments[0], arguments[arguments.length - 1]];
    const box = document.getElementById('box');
    const text = () => box.open && box.querySelector('.text').textContent;
    new MutationObserver(() => text() && done(text())).observe(box, {attributeFilter: ['open']});
    const later = () => setTimeout(() => done(text() || null), seconds * 1000);
    const started = (left) => typeof Page !== 'undefined' && document.body.dataset.frame ? Page.idle().then(later)
        : left > 0 ? setTimeout(() => started(left - 50), 50) : done(null);
    if (text()) done(text()); else started(60000);'''


def idle(driver):
    """Once the game has done all it was given; a message box in its way fails at once."""
    text = driver.execute_async_script(BOX, 0)
    assert not text, f'a message box is open: {text!r}'


def board(driver):
    """The canvas's board area, as an image, at zoom 1."""
    url = driver.execute_script('''
        const d = Page.drawing, c = document.getElementById('board');
        if (d.width !== 773) return 'zoom ' + d.width / 773;
        const part = document.createElement('canvas');
        part.width = arguments[2] - arguments[0]; part.height = arguments[3] - arguments[1];
        part.getContext('2d').drawImage(c, -d.x - arguments[0], -d.y - arguments[1]);
        return part.toDataURL('image/png');''', *BOARD)
    assert url.startswith('data:'), f'the board is not shown at zoom 1 ({url})'
    return Image.open(io.BytesIO(base64.b64decode(url.split(',', 1)[1]))).convert('RGB')


def same_board(image, reference, name):
    expected = Image.open(os.path.join(REFERENCE, reference)).convert('RGB').crop(BOARD)
    box = ImageChops.difference(image, expected).getbbox()
    if box is not None:
        image.save(os.path.join(REFERENCE, f'browser-{name}.png'))
        raise AssertionError(f'{name}: the board differs from {reference} within {box}')


def stored(driver):
    text = driver.execute_script("return localStorage.getItem('Pawnfall.ini')")
    return None if text is None else bytes(ord(c) for c in text)


def same_bytes(actual, reference):
    with open(os.path.join(REFERENCE, reference), 'rb') as f:
        expected = f.read()
    assert actual == expected, f'stored {actual!r}, the desktop wrote {expected!r}'


def presses():
    with open(os.path.join(REFERENCE, 'presses.txt')) as f:
        return [tuple(int(v) for v in line.split()) for line in f if line.strip()]


def page_point(driver, x, y):
    """Page coordinates of the middle of a pixel of the starting window, at whatever scale the
    page draws it (device pixels per pixel: the drawing's width over the starting width)."""
    left, top, dx, dy, scale, ratio = driver.execute_script('''
        const r = document.getElementById('board').getBoundingClientRect(), d = Page.drawing;
        return [r.left, r.top, d.x, d.y, d.width / 773, window.devicePixelRatio];''')
    return left + (dx + (x + 0.5) * scale) / ratio, top + (dy + (y + 0.5) * scale) / ratio


def click(driver, button, x, y):
    px, py = page_point(driver, x, y)
    for kind in ('mousePressed', 'mouseReleased'):
        driver.execute_cdp_cmd('Input.dispatchMouseEvent', {
            'type': kind, 'x': px, 'y': py, 'button': BUTTONS[button], 'clickCount': 1,
            'buttons': 0 if kind == 'mouseReleased' else {1: 1, 2: 2, 4: 4}[button]})


def touch(driver, x, y, hold):
    px, py = page_point(driver, x, y)
    driver.execute_cdp_cmd('Input.dispatchTouchEvent', {'type': 'touchStart', 'touchPoints': [{'x': px, 'y': py}]})
    time.sleep(hold)
    driver.execute_cdp_cmd('Input.dispatchTouchEvent', {'type': 'touchEnd', 'touchPoints': []})


def key(driver, name, code, text=''):
    for kind in ('keyDown', 'keyUp'):
        driver.execute_cdp_cmd('Input.dispatchKeyEvent', {'type': kind, 'key': name, 'code': name,
                                                          'windowsVirtualKeyCode': code, 'text': text})


def box_text(driver, seconds=10):
    """The open message box's text, once one is open: the game may take its time over what it
    was given, and the box must come within the seconds after that."""
    text = driver.execute_async_script(BOX, seconds)
    assert text, 'no message box opened'
    return text


def close_box(driver, seconds=30):
    # Watched from before the key: the next box may open before a look after it.
    driver.execute_script('''
        const box = document.getElementById('box');
        window.boxClosed = false;
        new MutationObserver((_, watch) => {
          if (!box.open) { window.boxClosed = true; watch.disconnect(); }
        }).observe(box, {attributeFilter: ['open']});''')
    key(driver, 'Enter', 13, '\r')
    closed = wait_for(driver, 'return window.boxClosed', seconds)
    assert closed, 'Return did not close the message box'


def menu(driver, *captions):
    """Chooses a menu command by clicking its captions in turn, as a player would."""
    for caption in captions:
        element = driver.execute_script('''
            return [...document.querySelectorAll('#menubar button, #menubar li')]
                .find((e) => e.firstChild.textContent.trim() === arguments[0]);''', caption)
        element.click()
    idle(driver)


def case_first_board(url):
    driver = chrome(url)
    same_board(board(driver), 'first.png', 'first')
    assert driver.title == 'Pawnfall for Windows'


def play_thirty(driver):
    # All at once: presses that come during a fall's pauses wait and are applied in order.
    for button, x, y in presses()[:30]:
        click(driver, button, x, y)
    idle(driver)


def case_presses(url):
    driver = chrome(url)
    play_thirty(driver)
    same_board(board(driver), 'after30.png', 'after30')
    same_bytes(stored(driver), 'after30.ini')
    # Enlarged and back: the page draws it all again from what it kept, without the game.
    for width in (1000, 780):
        driver.execute_cdp_cmd('Emulation.setDeviceMetricsOverride', {
            'width': width, 'height': 720, 'deviceScaleFactor': 1, 'mobile': False})
        time.sleep(0.3)
        if width == 1000:
            # Around the enlarged drawing its background goes on: no band of another green.
            bands = driver.execute_script('''
                const d = Page.drawing, c = document.getElementById('board');
                const px = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
                let found = 0;
                for (let y = 0; y < c.height; ++y)
                  for (let x = 0; x < c.width; ++x)
                    if ((x < d.x || x >= d.x + d.width || y < d.y || y >= d.y + d.height) &&
                        px[(y * c.width + x) * 4] === 0 && px[(y * c.width + x) * 4 + 1] === 128) ++found;
                return [found, d.x + d.y];''')
            assert bands[1] > 0 and bands[0] == 0, f'{bands[0]} pixels of the window green around the drawing'
    same_board(board(driver), 'after30.png', 'after30 resized')


def case_reload_and_menus(url):
    driver = chrome(url)
    play_thirty(driver)
    driver.refresh()
    first_frame(driver)
    same_bytes(stored(driver), 'after30.ini')
    menu(driver, 'ｵﾌﾟｼｮﾝ', '背景画', '竹')
    menu(driver, 'ｵﾌﾟｼｮﾝ', '移動指導')
    same_bytes(stored(driver), 'menus.ini')
    driver.refresh()
    first_frame(driver)
    marks = driver.execute_script('''
        return [...document.querySelectorAll('#menubar [aria-checked="true"]')].map((e) => e.textContent.trim());''')
    assert sorted(marks) == sorted(['竹', '移動指導', 'BGM']), f'after a reload the menu checks {marks}'


def case_two_tabs(url):
    driver = chrome(url)
    first = driver.current_window_handle
    driver.switch_to.new_window('tab')
    driver.get(url)
    first_frame(driver)
    second = driver.current_window_handle
    driver.switch_to.window(first)
    play_thirty(driver)
    # The second tab, started before, beats its own best of 0 and saves: the higher one stays.
    driver.switch_to.window(second)
    for button, x, y in presses()[:3]:
        click(driver, button, x, y)
    idle(driver)
    same_bytes(stored(driver), 'after30.ini')
    # A tab that read the storage before the other's save reached it writes a lower best over
    # it: the tab that holds the higher one puts it back.
    with open(os.path.join(REFERENCE, 'after30.ini'), 'rb') as f:
        higher = f.read()
    lower = re.sub(rb'(\r\n[^\r\n=]+=)[0-9]+\r\n$', rb'\g<1>0\r\n', higher)
    assert lower != higher
    driver.execute_script("localStorage.setItem('Pawnfall.ini', arguments[0])", lower.decode('latin-1'))
    driver.switch_to.window(first)
    assert wait_for(driver, f"return localStorage.getItem('Pawnfall.ini') === {json.dumps(higher.decode('latin-1'))}",
                    10), 'the lowered best stayed'


def case_touch(url):
    driver = chrome(url, touch=True)
    (_, x1, y1), (_, x2, y2), (button, _, _) = presses()[:3]
    assert button == 2
    touch(driver, x1, y1, 0.05)
    touch(driver, x2, y2, 0.05)
    # Held: the right button, which commits, on the bottom-right piece, which stays; a left press
    # on release would start a chain there.
    touch(driver, BOARD[2] - 18, BOARD[3] - 18, 0.8)
    idle(driver)
    same_board(board(driver), 'after3.png', 'touch')


def case_phone(url):
    # Sideways on a phone: squares a finger can take, a chain by taps and a long press, and the
    # desktop's board when the page is read back at the starting size.
    driver = chrome(url, width=844, height=390, ratio=3, touch=True, mobile=True)
    idle(driver)
    square = driver.execute_script('''
        // Across board row 6 the board is what differs from the green tiles around it, 681
        // pixels of the starting window wide (20 squares and the last one's overlap).
        const c = document.getElementById('board'), d = Page.drawing;
        const y = Math.round(d.y + (1450 + 510 * 6.5) / 15 * d.width / 773);
        const px = c.getContext('2d').getImageData(0, y, c.width, 1).data;
        const tile = (x) => px[x * 4] === 0 && px[x * 4 + 1] === 157 && px[x * 4 + 2] === 0;
        let left = 0, right = c.width - 1;
        while (left < right && tile(left)) ++left;
        while (right > left && tile(right)) --right;
        // A square is a whole number of device pixels.
        return Math.round((right - left + 1) / 681 * 34) / window.devicePixelRatio;''')
    assert square >= 26, f'a square is {square:.1f} css pixels'
    (_, x1, y1), (_, x2, y2), (button, x3, y3) = presses()[:3]
    touch(driver, x1, y1, 0.05)
    touch(driver, x2, y2, 0.05)
    touch(driver, x3, y3, 0.8)
    idle(driver)
    driver.execute_cdp_cmd('Emulation.setTouchEmulationEnabled', {'enabled': False})
    driver.execute_cdp_cmd('Emulation.setDeviceMetricsOverride', {
        'width': 780, 'height': 720, 'deviceScaleFactor': 1, 'mobile': False})
    # Drawn first from the phone's denser pictures, scaled, and again once its own set has come.
    assert wait_for(driver, 'return Page.drawing.width === 773 && Page.hasPictures(1)', 10), 'still the phone\'s'
    same_board(board(driver), 'after3.png', 'phone')


def case_end_of_game(url):
    driver = chrome(url)
    game = presses()
    for button, x, y in game[:-1]:
        click(driver, button, x, y)
    text = box_text(driver)
    assert text == END_TEXT, f'the end of the game says {text!r}'
    close_box(driver)
    idle(driver)
    click(driver, *game[-1])
    text = box_text(driver, 30)
    assert text == REMINDER, f'a press after the end says {text!r}'
    close_box(driver)


def wave_seconds(name):
    with wave.open(os.path.join(SITE, 'sounds', name)) as w:
        return w.getnframes() / w.getframerate()


def sound_loaded(driver):
    assert wait_for(driver, 'return Page.audio.voices.size === 5', 30), 'the sounds were never loaded'


def music_loops(driver):
    found = wait_for(driver, '''const a = Page.audio, m = [...a.voices.values()].filter((v) => !v.effect);
        return a.context.state === 'running' && m.length === 1 && m[0].source && m[0].source.loop &&
          [a.voices.size, m[0].buffer.duration];''', 10)
    assert found == [5, wave_seconds('BGM.wav')], f'the music does not loop at its length: {found}'


def case_sound_and_escape(url):
    driver = chrome(url)
    menu(driver, 'ｵﾌﾟｼｮﾝ', 'BGM')  # off, and saved so
    driver.refresh()
    first_frame(driver)
    sound_loaded(driver)
    # Started with the music off, the page has not even fetched it; switched on, it loops.
    asked = driver.execute_script("return performance.getEntriesByType('resource').map((e) => e.name)")
    assert not [n for n in asked if 'BGM' in n], asked
    menu(driver, 'ｵﾌﾟｼｮﾝ', 'BGM')
    music_loops(driver)
    # A start with the settings file, whose BGM=ON starts the music: it sounds from the gesture.
    driver.refresh()
    first_frame(driver)
    click(driver, *presses()[0])
    music_loops(driver)
    key(driver, 'Escape', 27)
    idle(driver)
    # Shut down: every buffer freed, the output closed, the page says so.
    assert driver.execute_script("return [Page.audio.voices.size, Page.audio.context, document.getElementById('ended').hidden]") == [0, None, False]


def case_first_sound(url):
    # Under the browser's own autoplay rules the very first gesture plays its sound, and only it:
    # the dealing sound asked for before any gesture is not played late.
    _, x, y = presses()[0]
    top = "return [...document.querySelectorAll('#menubar button')].find((e) => e.textContent.trim() === 'その他')"
    rows = [('tap', True, lambda d: touch(d, x, y, 0.05), '選択.wav'),
            ('click', False, lambda d: click(d, 1, x, y), '選択.wav'),
            ('menu command', False, lambda d: d.execute_script(top).click(), 'その他.wav')]
    for name, touching, gesture, sound in rows:
        driver = chrome(url, touch=touching)
        sound_loaded(driver)
        time.sleep(0.3)  # the dealing sound, asked for as the sounds loaded, is stale by now
        gesture(driver)
        played = wait_for(driver, 'return Page.audio.started.map((s) => s.duration).join(" ")', 5)
        assert played == f'{wave_seconds(sound):g}', f'{name}: the page played {played!r}, not {sound}'
        driver.quit()
        DRIVERS.remove(driver)


def case_no_storage_no_audio(url):
    # As in a private window that refuses storage, in a browser without Web Audio.
    driver = chrome(url, before='''
        Storage.prototype.setItem = () => { throw new DOMException('full', 'QuotaExceededError'); };
        delete window.AudioContext; delete window.webkitAudioContext;''')
    assert box_text(driver, 30) == '設定ファイル Pawnfall.ini を保存できません。\nディスクの空きが足りません。'
    close_box(driver)
    assert box_text(driver, 30) == 'Direct Soundインターフェースが作成できません。'
    close_box(driver)
    # The game goes on, silent and unsaved.
    button, x, y = presses()[0]
    click(driver, button, x, y)
    idle(driver)
    assert stored(driver) is None


def case_menus(url):
    # The page's menu bar as the desktop's menu_tree() writes the window's: by the ARIA roles.
    tree = chrome(url).execute_script('''
        const lines = [];
        (function walk(menu, depth) {
          for (const item of menu.querySelectorAll('[role^="menuitem"]')) {
            if (item.parentElement.closest('[role="menu"], [role="menubar"]') !== menu) continue;
            const check = item.getAttribute('role') === 'menuitemcheckbox' ?
              (item.getAttribute('aria-checked') === 'true' ? ' [x]' : ' [ ]') : '';
            lines.push('  '.repeat(depth) + item.firstChild.textContent.trim() + check);
            const sub = item.getAttribute('aria-haspopup') === 'true' &&
              (item.querySelector(':scope > [role="menu"]') || item.parentElement.querySelector(':scope > [role="menu"]'));
            if (sub) walk(sub, depth + 1);
          }
        })(document.querySelector('[role="menubar"]'), 0);
        return lines.map((l) => l + '\\n').join('');''')
    with open(os.path.join(REFERENCE, 'menus.txt'), encoding='utf-8') as f:
        expected = f.read()
    assert tree == expected, f'the page\'s menus:\n{tree}the desktop\'s:\n{expected}'


def case_unreadable_storage(url):
    # A settings file that the storage holds but refuses to read: told, and never written over.
    driver = chrome(url, before='''
        const getItem = Storage.prototype.getItem;
        window.storedItem = (name) => getItem.call(localStorage, name);
        localStorage.setItem('Pawnfall.ini', 'BGM=OFF\\r\\nmarker\\r\\n');
        Storage.prototype.getItem = () => { throw new DOMException('refused', 'SecurityError'); };''')
    assert box_text(driver, 30) == ('設定ファイル Pawnfall.ini を読み込めません。\n'
                                    'ブラウザの保存領域を読むことができません。\n既定の設定で始めます。')
    close_box(driver)
    first_frame(driver)
    menu(driver, 'ｵﾌﾟｼｮﾝ', '移動指導')  # a save
    assert driver.execute_script("return storedItem('Pawnfall.ini')") == 'BGM=OFF\r\nmarker\r\n'


def case_hand_edit_and_huge_wave(url):
    # A settings value edited by hand in the browser's tools, real kanji and all, and a wave
    # that never ends: the options and the best are read and kept, and the wave is refused
    # before it fills the memory, the game playing on without it.
    driver = chrome(url, before='''
        localStorage.setItem('Pawnfall.ini', '背景画=竹\\r\\n移動指導=ON\\r\\nBGM=OFF\\r\\n過去最高スコア=1234\\r\\n');
        window.pulled = 0;
        const fetchFile = window.fetch;
        window.fetch = (input, init) => !String(input).includes('sounds/%E3%81%9D%E3%81%AE') ? fetchFile(input, init) :
          Promise.resolve(new Response(new ReadableStream({pull(c) {
            window.pulled += 1 << 20;
            c.enqueue(new Uint8Array(1 << 20));
          }})));''')
    first_frame(driver)
    menu(driver, 'ｵﾌﾟｼｮﾝ', '移動指導')  # a save
    same = '背景画=竹\r\n移動指導=OFF\r\nBGM=OFF\r\n過去最高スコア=1234\r\n'.encode('shift_jis')
    assert stored(driver) == same, stored(driver)
    voices = wait_for(driver, 'return Page.audio.voices.size === 4 && [Page.audio.voices.size, window.pulled]', 30)
    # Twice (the compressed file, then the plain one), each refused a little past 16 MiB.
    assert voices and voices[1] < 48 << 20, f'voices and bytes pulled: {voices}'


def case_failed_procedure(url):
    driver = chrome(url)
    # The next call into the page fails, as a broken browser feature would.
    driver.execute_script("const put = Page.put; Page.put = () => { Page.put = put; throw new Error('put'); };")
    (b1, x1, y1), (b2, x2, y2), (b3, x3, y3) = presses()[:3]
    click(driver, b1, x1, y1)
    assert box_text(driver, 30) == '処理の途中で問題が起きたため、最後まで行えませんでした。\nこのまま続けて遊ぶことができます。'
    close_box(driver)
    click(driver, b2, x2, y2)
    click(driver, b3, x3, y3)
    idle(driver)
    # One warning, and the failed press had done its part: the board is the desktop's.
    assert not driver.execute_script("return document.getElementById('box').open")
    same_board(board(driver), 'after3.png', 'after a failure')


def case_offline(url):
    driver = chrome(url)
    driver.execute_async_script('navigator.serviceWorker.ready.then(() => arguments[arguments.length - 1]())')
    driver.execute_cdp_cmd('Network.enable', {})
    driver.execute_cdp_cmd('Network.emulateNetworkConditions', {
        'offline': True, 'latency': 0, 'downloadThroughput': -1, 'uploadThroughput': -1})
    driver.refresh()
    first_frame(driver)
    same_board(board(driver), 'first.png', 'offline')


async def firefox_board(url, port, shot):
    """Through Firefox's WebDriver BiDi: the page at 780 × 720 once it shows its first frame."""
    import trio
    from trio_websocket import HandshakeError, open_websocket_url
    for _ in range(100):
        try:
            async with open_websocket_url(f'ws://127.0.0.1:{port}/session') as ws:
                ids = iter(range(1, 100))

                async def call(method, params):
                    n = next(ids)
                    await ws.send_message(json.dumps({'id': n, 'method': method, 'params': params}))
                    while True:
                        answer = json.loads(await ws.get_message())
                        if answer.get('id') == n:
                            assert answer.get('type') != 'error', answer
                            return answer['result']

                await call('session.new', {'capabilities': {}})
                context = (await call('browsingContext.getTree', {}))['contexts'][0]['context']
                await call('browsingContext.setViewport', {
                    'context': context, 'viewport': {'width': 780, 'height': 720}})
                await call('browsingContext.navigate', {'context': context, 'url': url, 'wait': 'complete'})
                await call('script.evaluate', {
                    'expression': 'new Promise((done) => { const look = () => document.body.dataset.frame'
                                  ' === "1" ? done(1) : setTimeout(look, 100); look(); })',
                    'target': {'context': context}, 'awaitPromise': True})
                picture = await call('browsingContext.captureScreenshot', {'context': context})
                with open(shot, 'wb') as f:
                    f.write(base64.b64decode(picture['data']))
                return
        except (OSError, HandshakeError):
            await trio.sleep(0.2)
    raise AssertionError('Firefox did not answer')


def case_firefox(url):
    import trio
    work = tempfile.mkdtemp(prefix='pawnfall-firefox-')
    shot = os.path.join(work, 'firefox.png')
    with socket.socket() as s:
        s.bind(('127.0.0.1', 0))
        port = s.getsockname()[1]
    firefox = subprocess.Popen(['firefox-esr', '--headless', '--no-remote', '--profile', work,
                                f'--remote-debugging-port={port}', 'about:blank'],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               env=dict(os.environ, HOME=work))
    try:
        trio.run(firefox_board, url, port, shot)
    finally:
        firefox.terminate()
        firefox.wait(30)
    image = Image.open(shot).convert('RGB')
    expected = Image.open(os.path.join(REFERENCE, 'first.png')).convert('RGB').crop(BOARD)
    # Where the page puts the picture depends on the browser's menu bar: the board is looked for.
    for dy in range(0, 80):
        for dx in range(0, 12):
            part = image.crop((BOARD[0] + dx, BOARD[1] + dy, BOARD[2] + dx, BOARD[3] + dy))
            if ImageChops.difference(part, expected).getbbox() is None:
                return
    image.save(os.path.join(REFERENCE, 'browser-firefox.png'))
    raise AssertionError('Firefox does not show the first board as the desktop does')


if __name__ == '__main__':
    case, SITE, REFERENCE = sys.argv[1:4]
    # Everything the browsers and their drivers keep (profiles, sockets, caches) goes into one
    # folder that goes with the case; and no session bus, which libdbus would start for them.
    scratch = tempfile.mkdtemp(prefix='pawnfall-browser-')
    os.environ['TMPDIR'] = tempfile.tempdir = scratch
    os.environ['DBUS_SESSION_BUS_ADDRESS'] = 'disabled:'
    try:
        globals()[f'case_{case}'](serve(SITE))
    finally:
        for driver in DRIVERS:
            driver.quit()
        shutil.rmtree(scratch, ignore_errors=True)
    print(f'{case}: passed')
