// Journeys through the web build in headless Chromium, one per run, on one of page.js's screens:
//   node page_test.js SITE_DIR JOURNEY [desktop|dense|phone] [SCREENSHOT.png]
// On the desktop screen the commands are keyboard keys; on the dense one they are the on-screen
// keys clicked with the mouse, and on the phone the same keys tapped. Every journey also checks
// that the surface is the canvas's CSS size and that the page fits its screen, and fails on any
// console error or uncaught exception of the page.
'use strict';

const assert = require('node:assert/strict');
const { Screens, openPage, canvasSummary, stats } = require('./page.js');

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Polls the canvas until `wanted` holds for its summary or `ms` have passed; returns the last one.
async function summaryWithin(page, ms, wanted) {
  const end = Date.now() + ms;
  for (;;) {
    const summary = await canvasSummary(page);
    if (wanted(summary) || Date.now() > end) return summary;
    await sleep(50);
  }
}

// The on-screen key for each keyboard key, found by what it says it does.
const Buttons = {
  ArrowLeft: 'Pan left', ArrowRight: 'Pan right', ArrowUp: 'Pan up', ArrowDown: 'Pan down',
  NumpadAdd: 'Zoom in', NumpadSubtract: 'Zoom out', PageUp: 'Previous body', PageDown: 'Next body',
  Space: 'Centre', T: 'Trails', Enter: 'Playback', Escape: 'End',
};

// How a journey seeds and gives commands on each screen. `hold` keeps an on-screen key down.
function inputFor(page, screen) {
  const button = (key) => page.locator('#keys button', { hasText: Buttons[key] });
  const touch = screen === 'phone';
  if (screen === 'desktop') {
    return { seed: () => page.mouse.click(300, 250), press: (key) => page.keyboard.press(key) };
  }
  return {
    seed: () => (touch ? page.touchscreen.tap(300, 250) : page.mouse.click(300, 250)),
    press: (key) => (touch ? button(key).tap() : button(key).click()),
    async hold(key, ms) {
      const box = await button(key).boundingBox();
      const at = { x: box.x + box.width / 2, y: box.y + box.height / 2 };
      const cdp = await page.context().newCDPSession(page);
      const finger = (type, points) => cdp.send('Input.dispatchTouchEvent',
                                                { type, touchPoints: points });
      await page.mouse.move(at.x, at.y);
      await (touch ? finger('touchStart', [at]) : page.mouse.down());
      await sleep(ms);
      await (touch ? finger('touchEnd', []) : page.mouse.up());
    },
  };
}

// On every screen the surface is the canvas's CSS box, rounded, and the page fits the screen with
// no scrolling; the desktop page shows the design size; a touch screen's keys are large enough
// for a finger.
async function checkLayout(page, screen) {
  const layout = await page.evaluate(() => {
    const canvas = document.querySelector('#canvas');
    const box = canvas.getBoundingClientRect();
    const sides = [...document.querySelectorAll('#keys button')].flatMap((button) => {
      const key = button.getBoundingClientRect();
      return [key.width, key.height];
    });
    const page = document.documentElement;
    return { surface: [canvas.width, canvas.height],
             css: [Math.round(box.width), Math.round(box.height)],
             overflow: [page.scrollWidth - innerWidth, page.scrollHeight - innerHeight],
             smallestKey: Math.min(...sides) };
  });
  assert.deepEqual(layout.surface, layout.css, 'a surface unit is a CSS pixel');
  assert.deepEqual(layout.overflow, [0, 0], 'the page fits the screen');
  if (screen === 'phone') {
    assert.ok(layout.smallestKey >= 44, `keys of at least 44 CSS pixels (${layout.smallestKey})`);
  } else {
    assert.deepEqual(layout.surface, [626, 549]);
  }
}

// Compares the canvas as the screen shows it, in device pixels, with its surface: every device
// pixel is the colour of the surface pixel under it, so a disc of any size covers scale x scale
// times the device pixels it covers on a screen of one device pixel per CSS pixel.
async function checkScaledUp(page) {
  // The window's resizing corner is drawn over the canvas.
  await page.evaluate(() => { document.querySelector('#frame').style.resize = 'none'; });
  const png = (await page.locator('#canvas').screenshot()).toString('base64');
  const result = await page.evaluate(async (shot) => {
    const png = await (await fetch(`data:image/png;base64,${shot}`)).blob();
    const bitmap = await createImageBitmap(png);
    const shown = new OffscreenCanvas(bitmap.width, bitmap.height).getContext('2d');
    shown.drawImage(bitmap, 0, 0);
    const device = shown.getImageData(0, 0, bitmap.width, bitmap.height).data;
    const canvas = document.querySelector('#canvas');
    const surface = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    const scale = bitmap.width / canvas.width;
    const coloured = (d, k) => !(d[k] === d[k + 1] && d[k + 1] === d[k + 2]);
    let shownColoured = 0, drawnColoured = 0, wrong = 0;
    for (let k = 0; k < surface.length; k += 4) drawnColoured += coloured(surface, k);
    for (let k = 0; k < device.length; k += 4) {
      const x = Math.floor((k / 4) % bitmap.width / scale);
      const s = 4 * (Math.floor(k / 4 / bitmap.width / scale) * canvas.width + x);
      shownColoured += coloured(device, k);
      wrong += [0, 1, 2].some((c) => device[k + c] !== surface[s + c]);
    }
    return { scale, shownColoured, drawnColoured, wrong };
  }, png);
  console.log(`scaled up ${result.scale}x: ${result.drawnColoured} coloured surface pixels shown ` +
              `as ${result.shownColoured} device pixels, ${result.wrong} device pixels differ`);
  assert.ok(result.drawnColoured > 0, 'coloured discs on the surface');
  assert.equal(result.wrong, 0, 'each device pixel shows the surface pixel under it, unsmoothed');
  assert.equal(result.shownColoured, result.scale * result.scale * result.drawnColoured);
}

const journeys = {
  // The page opens black and one click or tap fills it with coloured discs, seeding once.
  async first_click({ page, input }, screenshot) {
    assert.equal(await page.title(), 'Form1');
    await sleep(500);
    const before = await canvasSummary(page);
    assert.equal(before.black, before.width * before.height, 'the canvas is black until input');
    assert.ok((await stats(page)).ticks > 0, 'the timers run from the start');

    await input.seed();
    const after = await summaryWithin(page, 1000, (s) => s.coloured > 0);
    assert.ok(after.coloured > 0, 'coloured discs within a second of the click');
    await sleep(300);
    assert.equal((await stats(page)).seeds, 1, 'one universe for one click or tap');

    // The command keys and the right button are the program's: the page neither scrolls nor opens
    // a menu. Other keys keep their usual meaning.
    await page.evaluate(() => {
      window.prevented = {};
      const note = (event) => { window.prevented[event.code || event.type] = event.defaultPrevented; };
      window.addEventListener('keydown', note);
      window.addEventListener('contextmenu', note);
    });
    for (const key of ['ArrowDown', 'PageDown', 'Space', 'KeyA']) await page.keyboard.press(key);
    await page.mouse.click(300, 250, { button: 'right' });
    assert.deepEqual(await page.evaluate(() => window.prevented),
                     { ArrowDown: true, PageDown: true, Space: true, KeyA: false, contextmenu: true });
    if (screenshot) {
      await sleep(2500);
      await page.screenshot({ path: screenshot });
    }
  },

  // Enter plays the history back as white marks only; Enter again brings the coloured bodies back.
  async playback({ page, input }) {
    await input.seed();
    await sleep(800);
    await input.press('Enter');
    const played = await summaryWithin(page, 1000, (s) => s.white > 0);
    assert.equal(played.coloured, 0, 'no coloured disc during playback');
    assert.ok(played.white > 0, 'white marks during playback');
    assert.ok((await stats(page)).playbackTicks > 0);

    await input.press('Enter');
    const live = await summaryWithin(page, 1000, (s) => s.coloured > 0);
    assert.ok(live.coloured > 0, 'coloured discs again after the second Enter');
    assert.equal(live.white, 0, 'no white mark left after the second Enter');
  },

  // Keypad minus zooms out: the world outline, 20000 world units across, is 20000 / zoom surface
  // units wide. The arrows then move it 30 units, Space and Page Up or Down centre it again on a
  // body at the origin (no universe is seeded, so all are there), and the surface follows the
  // window when it is resized. Pressing the on-screen keys seeds nothing and takes no focus.
  async zoom({ page, screen, input }) {
    const outlineAt = async (zoom, where = () => true) => {
      const s = await summaryWithin(page, 1000, (t) => t.outline !== null && where(t.outline) &&
                                    Math.abs(t.outline.width - 20000 / zoom) <= 2);
      assert.ok(s.outline, `a world outline at zoom ${zoom}`);
      return s.outline;
    };
    for (let k = 0; k < 60; ++k) await input.press('NumpadSubtract');
    const near = await outlineAt(61);
    for (let k = 0; k < 10; ++k) await input.press('NumpadSubtract');
    const far = await outlineAt(71);
    assert.ok(Math.abs(near.width - 20000 / 61) <= 2, `outline ${near.width} wide at zoom 61`);
    assert.ok(Math.abs(far.width - 20000 / 71) <= 2, `outline ${far.width} wide at zoom 71`);
    assert.ok(Math.abs(far.width - far.height) <= 1, `a square, ${far.width} x ${far.height}`);
    // The main row's minus is not the keypad's.
    await page.keyboard.press('Minus');
    assert.equal((await outlineAt(71)).width, far.width);

    const moves = [['ArrowLeft', 30, 0], ['ArrowUp', 30, 30], ['ArrowRight', 0, 30],
                   ['ArrowDown', 0, 0], ['ArrowLeft', 30, 0], ['Space', 0, 0], ['ArrowUp', 0, 30],
                   ['PageDown', 0, 0], ['ArrowRight', -30, 0], ['PageUp', 0, 0]];
    for (const [key, dx, dy] of moves) {
      await input.press(key);
      const at = (o) => o.left === far.left + dx && o.top === far.top + dy;
      const moved = await outlineAt(71, at);
      assert.ok(at(moved), `after ${key} the outline is at ${moved.left}, ${moved.top}, not ` +
                `${far.left + dx}, ${far.top + dy}`);
    }

    // A held zoom key repeats while held, and only then.
    let zoom = 71;
    if (input.hold) {
      await input.hold('NumpadSubtract', 1500);
      await sleep(100);  // the last press's picture comes with the next frame
      const held = (await canvasSummary(page)).outline;
      zoom = Math.round(20000 / held.width);
      assert.ok(zoom >= 81, `held for 1.5 s the zoom goes from 71 to ${zoom}`);
      await sleep(300);
      assert.deepEqual((await canvasSummary(page)).outline, held, 'no repeat after the release');
    }
    assert.equal((await stats(page)).seeds, 0, 'the keys seed nothing');
    assert.equal(await page.evaluate(() => document.activeElement === document.body), true,
                 'the keys take no focus');

    // A smaller window: the surface follows it, and the keypad's plus zooms back in on it.
    if (screen === 'phone') return;  // a phone has no window corner to drag
    await page.evaluate(() => Object.assign(document.querySelector('#frame').style,
                                            { width: '400px', height: '300px' }));
    await page.waitForFunction(() => document.querySelector('#canvas').width === 400);
    await input.press('NumpadAdd');
    const resized = await summaryWithin(page, 1000, (t) => t.outline &&
                                        Math.abs(t.outline.width - 20000 / (zoom - 1)) <= 2);
    assert.deepEqual([resized.width, resized.height], [400, 300]);
    assert.ok(Math.abs(resized.outline.width - 20000 / (zoom - 1)) <= 2,
              `${resized.outline.width} wide`);
  },

  // With T the bodies leave their trails: the coloured area grows instead of moving along. A
  // universe at rest may hardly move at first, so up to four universes are tried.
  async trails({ page, input }) {
    let grown = false;
    for (let attempt = 0; attempt < 4 && !grown; ++attempt) {
      await input.seed();
      await sleep(300);
      await input.press('T');  // clears the surface; erasing is now off
      await sleep(200);
      const start = (await canvasSummary(page)).coloured;
      await sleep(2000);
      const end = (await canvasSummary(page)).coloured;
      grown = start > 0 && end > 2 * start;
      await input.press('T');  // erasing on again for the next try
    }
    assert.ok(grown, 'the coloured area at least doubles in two seconds of trails');
  },

  // Escape ends the program at once: no more ticks, presents or seeding, the on-screen keys are
  // off, and the page says what to do. The last picture stays, scaled up crisply.
  async escape({ page, input }) {
    await input.seed();
    await sleep(300);
    await input.press('Escape');
    const ended = await stats(page);
    await sleep(500);
    await page.keyboard.press('Enter');
    await input.seed();
    await sleep(300);
    assert.deepEqual(await stats(page), ended);
    assert.match(await page.textContent('#status'), /[Rr]eload/);
    assert.equal(await page.locator('#keys button:disabled').count(), 12);
    await checkScaledUp(page);
  },

  // The page can be installed, and once loaded it opens and plays with no network at all.
  async offline({ page, input, goOffline }) {
    // The worker is active once it has kept the files.
    await page.evaluate(() => navigator.serviceWorker.ready);
    // The test's browser profile is a private one, where nothing installs; anything else that
    // Chromium finds in the way (the manifest, its icons, the worker) is a fault of the page.
    const cdp = await page.context().newCDPSession(page);
    const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
    const errors = installabilityErrors.map((e) => e.errorId);
    assert.deepEqual(errors.filter((id) => id !== 'in-incognito'), [], 'installable');
    await goOffline();
    await page.reload();
    await page.waitForFunction(() => typeof window.gravityStats === 'function' &&
                                     window.gravityStats().presents > 0);
    await input.seed();
    const after = await summaryWithin(page, 1000, (s) => s.coloured > 0);
    assert.ok(after.coloured > 0, 'coloured discs offline');
    assert.equal((await stats(page)).seeds, 1);
  },

  // The simulation timer keeps its 1 ms cadence: at least 9900 ticks in ten seconds.
  async cadence({ page, input }) {
    await input.seed();
    const first = await stats(page);
    await sleep(10000);
    const last = await stats(page);
    const ticks = last.ticks - first.ticks;
    console.log(`${ticks} ticks in 10 s`);
    assert.ok(ticks >= 9900, `${ticks} ticks in 10 s`);
  },
};

async function main() {
  const [site, name, screen = 'desktop', screenshot] = process.argv.slice(2);
  const journey = journeys[name];
  if (!site || !journey || !Screens[screen]) {
    console.error(`usage: page_test.js SITE_DIR ${Object.keys(journeys).join('|')} ` +
                  `[${Object.keys(Screens).join('|')}] [SCREENSHOT]`);
    process.exit(2);
  }
  const opened = await openPage(site, screen);
  try {
    await checkLayout(opened.page, screen);
    await journey({ ...opened, screen, input: inputFor(opened.page, screen) }, screenshot);
    assert.deepEqual(opened.errors, [], 'no console errors');
  } finally {
    await opened.close();
  }
  console.log(`${name} on the ${screen} screen: passed`);
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
