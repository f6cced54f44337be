// Journeys through the web build in headless Chromium, one per run:
//   node page_test.js SITE_DIR JOURNEY [SCREENSHOT.png]
// Every journey also fails on any console error or uncaught exception of the page.
'use strict';

const assert = require('node:assert/strict');
const { openPage, canvasSummary, stats } = require('./page.js');

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

// Releases the left button in the canvas, so a new universe starts around that point.
const click = (page) => page.mouse.click(300, 250);

const journeys = {
  // The page opens black and a click fills it with coloured discs.
  async first_click({ page }, screenshot) {
    assert.equal(await page.title(), 'Form1');
    await sleep(500);
    const before = await canvasSummary(page);
    assert.deepEqual([before.width, before.height], [626, 549]);
    assert.equal(before.black, before.width * before.height, 'the canvas is black until input');
    assert.ok((await stats(page)).ticks > 0, 'the timers run from the start');

    await click(page);
    const after = await summaryWithin(page, 1000, (s) => s.coloured > 0);
    assert.ok(after.coloured > 0, 'coloured discs within a second of the click');

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
  async playback({ page }) {
    await click(page);
    await sleep(800);
    await page.keyboard.press('Enter');
    const played = await summaryWithin(page, 1000, (s) => s.white > 0);
    assert.equal(played.coloured, 0, 'no coloured disc during playback');
    assert.ok(played.white > 0, 'white marks during playback');
    assert.ok((await stats(page)).playbackTicks > 0);

    await page.keyboard.press('Enter');
    const live = await summaryWithin(page, 1000, (s) => s.coloured > 0);
    assert.ok(live.coloured > 0, 'coloured discs again after the second Enter');
    assert.equal(live.white, 0, 'no white mark left after the second Enter');
  },

  // Keypad minus zooms out: the world outline, 20000 world units across, is 20000 / zoom pixels
  // wide. On a screen of two device pixels per CSS pixel the surface has twice the design size,
  // and follows the window when it is resized.
  async zoom({ page }) {
    const canvas = await canvasSummary(page);
    assert.deepEqual([canvas.width, canvas.height], [2 * 626, 2 * 549]);
    const outlineAt = async (zoom) => {
      const s = await summaryWithin(page, 1000, (t) => t.outline !== null &&
                                    Math.abs(t.outline.width - 20000 / zoom) <= 2);
      assert.ok(s.outline, `a world outline at zoom ${zoom}`);
      return s.outline;
    };
    for (let k = 0; k < 40; ++k) await page.keyboard.press('NumpadSubtract');
    const near = await outlineAt(41);
    for (let k = 0; k < 10; ++k) await page.keyboard.press('NumpadSubtract');
    const far = await outlineAt(51);
    assert.ok(Math.abs(near.width - 20000 / 41) <= 2, `outline ${near.width} wide at zoom 41`);
    assert.ok(Math.abs(far.width - 20000 / 51) <= 2, `outline ${far.width} wide at zoom 51`);
    assert.equal(far.width, far.height);
    // The main row's minus is not the keypad's.
    await page.keyboard.press('Minus');
    assert.equal((await outlineAt(51)).width, far.width);

    // A smaller window: the surface follows it, and the keypad's plus zooms back in on it.
    await page.evaluate(() => Object.assign(document.querySelector('#frame').style,
                                            { width: '400px', height: '300px' }));
    await page.waitForFunction(() => document.querySelector('#canvas').width === 800);
    await page.keyboard.press('NumpadAdd');
    const resized = await summaryWithin(page, 1000, (t) => t.outline &&
                                        Math.abs(t.outline.width - 20000 / 50) <= 2);
    assert.deepEqual([resized.width, resized.height], [800, 600]);
    assert.ok(Math.abs(resized.outline.width - 20000 / 50) <= 2, `${resized.outline.width} wide`);
  },

  // With T the bodies leave their trails: the coloured area grows instead of moving along. A
  // universe at rest may hardly move at first, so up to four universes are tried.
  async trails({ page }) {
    let grown = false;
    for (let attempt = 0; attempt < 4 && !grown; ++attempt) {
      await click(page);
      await sleep(300);
      await page.keyboard.press('T');  // clears the surface; erasing is now off
      await sleep(200);
      const start = (await canvasSummary(page)).coloured;
      await sleep(2000);
      const end = (await canvasSummary(page)).coloured;
      grown = start > 0 && end > 2 * start;
      await page.keyboard.press('T');  // erasing on again for the next try
    }
    assert.ok(grown, 'the coloured area at least doubles in two seconds of trails');
  },

  // Escape ends the program at once: no more ticks or presents, and the page says what to do.
  async escape({ page }) {
    await click(page);
    await sleep(300);
    await page.keyboard.press('Escape');
    const ended = await stats(page);
    await sleep(500);
    await page.keyboard.press('Enter');
    await page.mouse.click(200, 200);
    await sleep(300);
    assert.deepEqual(await stats(page), ended);
    assert.match(await page.textContent('#status'), /[Rr]eload/);
  },

  // The simulation timer keeps its 1 ms cadence: at least 9900 ticks in ten seconds.
  async cadence({ page }) {
    await click(page);
    const first = await stats(page);
    await sleep(10000);
    const last = await stats(page);
    const ticks = last.ticks - first.ticks;
    console.log(`${ticks} ticks in 10 s`);
    assert.ok(ticks >= 9900, `${ticks} ticks in 10 s`);
  },
};

async function main() {
  const [site, name, screenshot] = process.argv.slice(2);
  const journey = journeys[name];
  if (!site || !journey) {
    console.error(`usage: page_test.js SITE_DIR ${Object.keys(journeys).join('|')} [SCREENSHOT]`);
    process.exit(2);
  }
  const opened = await openPage(site, { deviceScaleFactor: name === 'zoom' ? 2 : 1 });
  try {
    await journey(opened, screenshot);
    assert.deepEqual(opened.errors, [], 'no console errors');
  } finally {
    await opened.close();
  }
  console.log(`${name}: passed`);
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
