// Every JavaScript function the game's C++ calls, linked into pawnfall.js with --js-library and
// declared in web/bridge.h. Each only crosses over to the page's scripts (web/page/), turning the
// game's memory and strings into the page's values.
mergeInto(LibraryManager.library, {
  js_area_width: function() { return Page.area().width; },
  js_area_height: function() { return Page.area().height; },
  js_device_pixel_ratio: function() { return Page.area().ratio; },
  // The game waits for these two; the page's promises never reject, and a throw before the wait
  // begins fails the procedure as any other would.
  js_fetch_pictures: function(set) { Page.loadPictures(set); return Page.hasPictures(set) ? 1 : 0; },
  js_load_pictures__deps: ['$Asyncify'],
  js_load_pictures: function(set) {
    return Asyncify.handleAsync(function() { return Page.loadPictures(set); });
  },
  js_message_box__deps: ['$Asyncify'],
  js_message_box: function(text, caption, warning) {
    return Asyncify.handleAsync(function() {
      return Page.messageBox(UTF8ToString(text), UTF8ToString(caption), warning);
    });
  },
  js_started: function() { Page.started(); },
  js_name_sound: function(name, kind) { Page.audio.nameWave(UTF8ToString(name), kind); },
  js_wave_size: function(name) { return Page.audio.waveSize(UTF8ToString(name)); },
  js_wave_read: function(name, out, length) { Page.audio.readWave(UTF8ToString(name), out, length); },

  js_layout: function(width, height, x, y, w, h, set) { Page.layout(width, height, x, y, w, h, set); },
  js_text_box: function(text, size, box) { Page.textBox(UTF8ToString(text), size, box); },
  js_picture_pixels: function(id, w, h, out) { Page.picturePixels(id, w, h, out); },
  js_text_ink: function(text, size, form) { return Page.textInk(UTF8ToString(text), size, form); },
  js_text_ink_read: function(out) { Page.readTextInk(out); },
  js_put: function(pixels, width, height, x, y, w, h) { Page.put(pixels, width, height, x, y, w, h); },

  js_set_checked: function(item, on) { Page.menus.setChecked(item, on); },

  js_storage_size: function(name) { return Page.storage.size(UTF8ToString(name)); },
  js_storage_read: function(name, out, length) { Page.storage.read(UTF8ToString(name), out, length); },
  js_storage_write: function(name, bytes, length) {
    return Page.storage.write(UTF8ToString(name), bytes, length);
  },

  js_audio_open: function() { return Page.audio.open(); },
  js_audio_buffer: function(handle, channels, frames, rate, samples, effect) {
    return Page.audio.buffer(handle, channels, frames, rate,
                             HEAPF32.subarray(samples >> 2, (samples >> 2) + channels * frames), effect);
  },
  js_audio_play: function(handle, loop) { Page.audio.play(handle, loop); },
  js_audio_stop: function(handle) { Page.audio.stop(handle); },
  js_audio_free: function(handle) { Page.audio.free(handle); },
  js_audio_close: function() { Page.audio.close(); },
});
