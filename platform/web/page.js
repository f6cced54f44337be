// The page's side of the browser window layer: the few things only JavaScript can do, called from
// the C++ side (platform/web/page.h).
mergeInto(LibraryManager.library, {
  // Follows the canvas's box in whole CSS pixels whenever the page changes it (a resized window or
  // frame, a page zoom) and tells the host, which resizes the surface in its next pass. A surface
  // unit is a CSS pixel on every screen, so a body is as large on a phone or a dense laptop screen
  // as on the screen the toy was made for; the browser scales the canvas up without smoothing.
  // Also keeps the right button's menu off the canvas and offers the counts to anyone curious.
  PageWatchCanvas: function () {
    const canvas = document.querySelector('#canvas');
    let reported = '';
    const observer = new ResizeObserver((entries) => {
      const size = entries[entries.length - 1].contentBoxSize[0];
      const width = Math.round(size.inlineSize);
      const height = Math.round(size.blockSize);
      if (width < 1 || height < 1 || `${width}x${height}` === reported) {
        return;
      }
      reported = `${width}x${height}`;
      Module._gravity_resize(width, height);
    });
    observer.observe(canvas);
    Module.gravityObserver = observer;
    canvas.addEventListener('contextmenu', (event) => event.preventDefault());
    window.gravityStats = () => ({
      ticks: Module._gravity_ticks(),
      playbackTicks: Module._gravity_playback_ticks(),
      presents: Module._gravity_presents(),
      seeds: Module._gravity_seeds(),
    });
  },

  // Gives the canvas's drawing buffer the surface's size. Setting it clears the canvas, even to the
  // size it has, so it is only set when it changes.
  PageSizeCanvas: function (width, height) {
    const canvas = document.querySelector('#canvas');
    if (canvas.width !== width || canvas.height !== height) {
      canvas.width = width;
      canvas.height = height;
    }
  },

  // The on-screen keys, for touch screens and keyboards without a keypad: a press on one hands its
  // virtual key code to the key handler, as the key would. Held, a repeating one presses again
  // after half a second and then 30 times a second, as a held key does. They act on the pointer
  // going down, take no focus (a focused button would also answer Space and Enter), and keep the
  // touch from scrolling, zooming or becoming a mouse click.
  PageWatchKeys: function () {
    const FirstRepeatMs = 500;
    const RepeatMs = 33;
    for (const button of document.querySelectorAll('#keys button')) {
      const code = Number(button.dataset.key);
      let timer = 0;
      const stop = () => {
        clearTimeout(timer);
        clearInterval(timer);
        timer = 0;
      };
      button.addEventListener('pointerdown', (event) => {
        event.preventDefault();
        if (event.button !== 0) {
          return;  // only the main button or a finger presses
        }
        stop();
        Module._gravity_press_key(code);
        if (button.dataset.repeat !== undefined && !button.disabled) {
          button.setPointerCapture(event.pointerId);
          timer = setTimeout(() => {
            timer = setInterval(() => Module._gravity_press_key(code), RepeatMs);
          }, FirstRepeatMs);
        }
      });
      for (const end of ['pointerup', 'pointercancel', 'lostpointercapture']) {
        button.addEventListener(end, stop);
      }
      for (const quiet of ['mousedown', 'touchstart', 'contextmenu']) {
        button.addEventListener(quiet, (event) => event.preventDefault(), { passive: false });
      }
    }
  },

  // Puts `count` rectangles (four ints each: x, y, width, height) of the width x height RGBA image
  // at `pixels` on the canvas. The ImageData viewing that memory is kept until the image moves,
  // changes size or the memory grows.
  PagePutImageRects: function (pixels, width, height, rects, count) {
    let image = Module.gravityImage;
    if (!image || image.width !== width || image.height !== height ||
        image.data.byteOffset !== pixels || image.data.buffer !== HEAPU8.buffer) {
      image = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, pixels, width * height * 4),
                            width, height);
      Module.gravityImage = image;
      // Read frequently: a canvas kept in the processor's memory, which WebKitGTK (2.48) scales up
      // to a dense screen's pixels sharp; the one it would otherwise accelerate it smooths.
      Module.gravityContext = document.querySelector('#canvas').getContext(
          '2d', { alpha: false, willReadFrequently: true });
    }
    for (let k = 0; k < count; ++k) {
      const r = (rects >> 2) + 4 * k;
      Module.gravityContext.putImageData(image, 0, 0, HEAP32[r], HEAP32[r + 1], HEAP32[r + 2],
                                         HEAP32[r + 3]);
    }
  },

  // The end: the canvas keeps its last picture and follows no more resizing, so its corner goes,
  // the on-screen keys are off, and the page says how to start again.
  PageShowReload: function () {
    Module.gravityObserver.disconnect();
    document.querySelector('#grip').style.display = 'none';
    for (const button of document.querySelectorAll('#keys button')) {
      button.disabled = true;
    }
    document.querySelector('#status').textContent = 'Ended. Reload the page to start again.';
  },
});
