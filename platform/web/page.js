// The page's side of the browser window layer: the few things only JavaScript can do, called from
// the C++ side (platform/web/page.h).
mergeInto(LibraryManager.library, {
  // Sizes the surface to the canvas's box in device pixels now and whenever the page changes it
  // (a resized window or frame, a page zoom, a move to a screen of another density). Also keeps
  // the right button's menu off the canvas and offers the counts to anyone curious.
  PageWatchCanvas: function () {
    const canvas = document.querySelector('#canvas');
    const apply = (width, height) => {
      if (width < 1 || height < 1 || (canvas.width === width && canvas.height === height)) {
        return;
      }
      canvas.width = width;
      canvas.height = height;
      Module._gravity_resize(width, height);
    };
    const box = canvas.getBoundingClientRect();
    apply(Math.round(box.width * devicePixelRatio), Math.round(box.height * devicePixelRatio));
    // Watching the device-pixel box also hears of a move to a screen of another density, where
    // the CSS size stays the same. The size itself is worked out as at the start: the device-pixel
    // box is not scaled when a browser only emulates a density.
    const observer = new ResizeObserver((entries) => {
      const size = entries[entries.length - 1].contentBoxSize[0];
      apply(Math.round(size.inlineSize * devicePixelRatio),
            Math.round(size.blockSize * devicePixelRatio));
    });
    try {
      observer.observe(canvas, { box: 'device-pixel-content-box' });
    } catch (e) {
      observer.observe(canvas);
    }
    Module.gravityObserver = observer;
    canvas.addEventListener('contextmenu', (event) => event.preventDefault());
    window.gravityStats = () => ({
      ticks: Module._gravity_ticks(),
      playbackTicks: Module._gravity_playback_ticks(),
      presents: Module._gravity_presents(),
    });
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
      Module.gravityContext = document.querySelector('#canvas').getContext('2d', { alpha: false });
    }
    for (let k = 0; k < count; ++k) {
      const r = (rects >> 2) + 4 * k;
      Module.gravityContext.putImageData(image, 0, 0, HEAP32[r], HEAP32[r + 1], HEAP32[r + 2],
                                         HEAP32[r + 3]);
    }
  },

  // The end: the canvas keeps its last picture and follows no more resizing, and the page says
  // how to start again.
  PageShowEnded: function () {
    Module.gravityObserver.disconnect();
    document.querySelector('#status').textContent = 'Ended. Reload the page to start again.';
  },
});
