// Web Audio for the game's sound library: each buffer one voice; music through a half-level
// gain. The browser starts audio only after a gesture; an effect asked for before then is
// dropped, not played late.
'use strict';

Page.audio = {
  context: null,
  music: null,
  voices: new Map(),
  waves: [],  // the wave files' names, as the game gives them
  nameWave(name) { this.waves.push(name); },
  // The waves into the game's current folder, where it reads them as on the desktop.
  fetchWaves() {
    return Promise.all(this.waves.map(async (name) => {
      try {
        const response = await fetch(`sounds/${encodeURIComponent(name)}`);
        if (response.ok) FS.writeFile(name, new Uint8Array(await response.arrayBuffer()));
      } catch (e) { /* a missing wave plays as silence, as on the desktop */ }
    }));
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

// After the first frame: nothing is in its way.
Page.shown.then(() => Page.audio.fetchWaves()).then(() => Page.startSound());
