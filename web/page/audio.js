// Web Audio for the game's sound library: each buffer one voice; music through a half-level
// gain. The waves travel compressed (Opus) and are decoded back into the wave images the game
// reads, checks and hands its library, as on the desktop. The music, the one large file, is
// fetched only once the game asks it to play: until then the game holds a short silence in its
// place. The browser starts audio only within a gesture: every gesture wakes it, and an effect
// asked for while it wakes plays once it runs, unless it has grown stale by then.
'use strict';

Page.audio = (() => {
  const stale = 200;  // ms: an effect asked for longer ago than this is not played late
  const waiting = 4;  // effects kept while the audio wakes

  // A RIFF/WAVE image of 16-bit PCM: channels of samples at a rate, as the game's check takes it.
  function waveImage(channels, rate) {
    const n = channels.length, frames = channels[0].length, data = frames * n * 2;
    const view = new DataView(new ArrayBuffer(44 + data));
    const text = (at, s) => [...s].forEach((c, i) => view.setUint8(at + i, c.charCodeAt(0)));
    text(0, 'RIFF');
    view.setUint32(4, 36 + data, true);
    text(8, 'WAVEfmt ');
    view.setUint32(16, 16, true);
    view.setUint16(20, 1, true);
    view.setUint16(22, n, true);
    view.setUint32(24, rate, true);
    view.setUint32(28, rate * n * 2, true);
    view.setUint16(32, n * 2, true);
    view.setUint16(34, 16, true);
    text(36, 'data');
    view.setUint32(40, data, true);
    for (let f = 0; f < frames; ++f) {
      for (let c = 0; c < n; ++c) {
        const s = Math.max(-1, Math.min(1, channels[c][f]));
        view.setInt16(44 + (f * n + c) * 2, Math.round(s * 32767), true);
      }
    }
    return new Uint8Array(view.buffer);
  }

  // An Ogg Opus file's original rate and length: its header keeps the rate it was made from and
  // its last page the position of its last sample at 48 kHz, counted from before the encoder's
  // lead-in. The decoder's output is cut to that length, so a loop comes round without a gap.
  function opusForm(bytes) {
    const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
    const tag = (at, s) => [...s].every((c, i) => bytes[at + i] === c.charCodeAt(0));
    const head = 27 + bytes[26];  // past the first page's header and segment table
    if (bytes.length < head + 19 || !tag(0, 'OggS') || !tag(head, 'OpusHead')) throw new Error('not Opus');
    const skip = view.getUint16(head + 10, true);
    const rate = view.getUint32(head + 12, true);
    let last = bytes.length - 27;
    while (last > 0 && !tag(last, 'OggS')) --last;
    const end = view.getUint32(last + 6, true) + view.getUint32(last + 10, true) * 2 ** 32;
    if (rate < 8000 || rate > 192000 || end <= skip) throw new Error('no length');
    return {rate, frames: Math.round((end - skip) * rate / 48000)};
  }

  // A file's bytes, refused as soon as it proves larger than any wave image the game takes: a
  // huge file would otherwise hold its size in memory twice for as long as the page is open.
  async function fetched(path) {
    const largest = Page.codes.sounds.largest;
    const response = await fetch(path);
    if (!response.ok) throw new Error(`${path}: ${response.status}`);
    if (Number(response.headers.get('Content-Length')) > largest) throw new Error(`${path}: too large`);
    const parts = [];
    let size = 0;
    for (const reader = response.body.getReader(); ;) {
      const {done, value} = await reader.read();
      if (done) break;
      size += value.length;
      if (size > largest) {
        reader.cancel();
        throw new Error(`${path}: too large`);
      }
      parts.push(value);
    }
    const bytes = new Uint8Array(size);
    parts.reduce((at, part) => (bytes.set(part, at), at + part.length), 0);
    return bytes;
  }

  // A wave's channels at its own rate and length, from its compressed file; null when the file
  // is missing or the browser cannot decode it.
  async function decoded(name) {
    try {
      const bytes = await fetched(`sounds/${encodeURIComponent(name.replace(/\.wav$/i, ''))}.opus`);
      const {rate, frames} = opusForm(bytes);
      // A length no wave image of the game's could hold is not decoded at all.
      if (frames * 2 * 2 + 44 > Page.codes.sounds.largest) return null;
      const Offline = window.OfflineAudioContext || window.webkitOfflineAudioContext;
      const b = await new Offline(1, 1, rate).decodeAudioData(bytes.buffer);
      const channels = [];
      for (let c = 0; c < b.numberOfChannels; ++c) {
        const samples = new Float32Array(frames);
        samples.set(b.getChannelData(c).subarray(0, frames));
        channels.push(samples);
      }
      return {channels, rate};
    } catch (e) {
      return null;
    }
  }

  // The wave file itself, for a browser that cannot decode the compressed one; null if missing.
  async function original(name) {
    try {
      return await fetched(`sounds/${encodeURIComponent(name)}`);
    } catch (e) {
      return null;
    }
  }

  return {
    context: null,
    music: null,
    voices: new Map(),
    waves: [],  // the wave files' names and kinds, as the game gives them
    images: new Map(),  // the wave images fetched for the game, by name, until it reads them
    pending: [],  // effects asked for while the audio woke: {handle, at}
    started: [],  // for the page's tests: the latest voices started while the audio ran
    musicName: null,
    nameWave(name, kind) { this.waves.push({name, music: kind === Page.codes.sounds.music}); },
    // The effects as the wave images the game reads, checks and hands its library as on the
    // desktop; the music's place holds a silence until the music is asked for. A missing wave
    // plays as silence, as on the desktop.
    fetchWaves() {
      return Promise.all(this.waves.map(async ({name, music}) => {
        try {
          if (music) {
            this.musicName = name;
            this.images.set(name, waveImage([new Float32Array(800)], 8000));
            return;
          }
          const wave = await decoded(name);
          const image = wave ? waveImage(wave.channels, wave.rate) : await original(name);
          if (image) this.images.set(name, image);
        } catch (e) { /* the game finds no wave, and plays silence in its place */ }
      }));
    },
    waveSize(name) { return this.images.has(name) ? this.images.get(name).length : -1; },
    // The game reads a wave once and keeps its own copy: the page's goes.
    readWave(name, out, length) {
      HEAPU8.set(this.images.get(name).subarray(0, length), out);
      this.images.delete(name);
    },
    // The music itself, as a buffer to swap in for the silence; null when it cannot be had.
    async fetchMusic() {
      try {
        const wave = await decoded(this.musicName);
        if (Page.keepForOffline) Page.keepForOffline();
        if (wave) {
          const b = this.context.createBuffer(wave.channels.length, wave.channels[0].length, wave.rate);
          wave.channels.forEach((samples, c) => b.copyToChannel(samples, c));
          return b;
        }
        const image = await original(this.musicName);
        return image && await this.context.decodeAudioData(image.buffer);
      } catch (e) {
        return null;  // also when the audio was closed meanwhile
      }
    },
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
      this.context.addEventListener('statechange', () => this.ran());
      // A browser that has already seen a gesture on the page may let it run at once.
      this.wake();
      return 1;
    },
    buffer(handle, channels, frames, rate, samples, effect) {
      try {
        const b = this.context.createBuffer(channels, frames, rate);
        for (let c = 0; c < channels; ++c) b.copyToChannel(samples.subarray(c * frames, (c + 1) * frames), c);
        // The music's buffer holds the silence in its place until the music is asked for.
        const awaited = !effect && this.musicName !== null;
        this.voices.set(handle, {buffer: b, effect: !!effect, source: null, awaited, wanted: null});
        return 1;
      } catch (e) {
        return 0;
      }
    },
    play(handle, loop) {
      const voice = this.voices.get(handle);
      if (!voice) return;
      this.stop(handle);
      if (voice.awaited) {
        this.awaitMusic(handle, voice, !!loop);
      } else if (!loop && this.context.state !== 'running') {
        this.pending = this.pending.filter((p) => p.handle !== handle).slice(1 - waiting);
        this.pending.push({handle, at: performance.now()});
        this.wake();
      } else {
        this.start(handle, voice, !!loop);
      }
    },
    // The music, fetched on its first play; it starts when it comes if it is still wanted then.
    // A failed fetch leaves the silence, and the next play tries again.
    awaitMusic(handle, voice, loop) {
      voice.wanted = loop;
      if (voice.fetching) return;
      voice.fetching = this.fetchMusic().then((b) => {
        voice.fetching = null;
        if (!b || this.voices.get(handle) !== voice) return;
        voice.buffer = b;
        voice.awaited = false;
        if (voice.wanted !== null) this.play(handle, voice.wanted);
      });
    },
    start(handle, voice, loop) {
      const source = this.context.createBufferSource();
      source.buffer = voice.buffer;
      source.loop = loop;
      source.connect(voice.effect ? this.context.destination : this.music);
      source.start();
      voice.source = source;
      if (this.context.state === 'running')
        this.started = this.started.slice(-15).concat([{handle, duration: voice.buffer.duration}]);
    },
    stop(handle) {
      this.pending = this.pending.filter((p) => p.handle !== handle);
      const voice = this.voices.get(handle);
      if (!voice) return;
      voice.wanted = null;
      if (!voice.source) return;
      try { voice.source.stop(); } catch (e) { /* never started */ }
      voice.source.disconnect();
      voice.source = null;
    },
    free(handle) {
      this.stop(handle);
      this.voices.delete(handle);
    },
    close() {
      this.pending = [];
      if (this.context) this.context.close();
      this.context = null;
    },
    // Within a gesture: lets the audio run; what waited for it plays once it does.
    wake() {
      if (!this.context || this.context.state === 'running' || this.context.state === 'closed') return;
      this.context.resume().then(() => this.ran(), () => {});
    },
    ran() {
      if (!this.context || this.context.state !== 'running') return;
      const now = performance.now();
      for (const {handle, at} of this.pending.splice(0)) {
        const voice = this.voices.get(handle);
        if (voice && now - at <= stale) this.start(handle, voice, false);
      }
    },
  };
})();

// The gestures browsers let start audio: a mouse's press, any pointer's release, a click, a key
// (a finger's touch down is not one). Caught before the page's own handlers, so the effect the
// gesture asks for finds the audio already waking.
for (const type of ['pointerdown', 'mousedown', 'pointerup', 'touchend', 'click', 'keydown'])
  document.addEventListener(type, () => Page.audio.wake(), {capture: true, passive: true});

// After the first frame: nothing is in its way.
Page.shown.then(() => Page.audio.fetchWaves()).then(() => {
  Page.startSound();
  if (Page.keepForOffline) Page.keepForOffline();
});
