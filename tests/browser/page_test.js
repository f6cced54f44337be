// Journeys through the web build in one browser engine on one of page.js's screens, all in one
// start of the browser, each on a fresh origin:
//   node page_test.js SITE_DIR chromium|firefox|webkit desktop|dense|phone JOURNEY[,JOURNEY...] [SCREENSHOT.png]
// On the desktop screen the commands are keyboard keys; on the dense one they are the on-screen
// keys clicked with the mouse, and on the phone the same keys tapped. Every journey also checks
// that the surface is the canvas's CSS size and that the page fits its screen, and fails on any
// console error or uncaught exception of the page.
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { Screens, sleep, serve, copySite, withFirstScript, waitInPage, programRunning,
        canvasSummary, stats, launch } = require('./page.js');

// How long a journey waits for the picture to show what it expects; a loaded machine's browser
// can take a good part of a second.
const SettleMs = 5000;

// Polls the canvas until `wanted` holds for its summary or `ms` have passed; returns the last one.
async function summaryWithin(browser, ms, wanted) {
  const end = Date.now() + ms;
  for (;;) {
    const summary = await canvasSummary(browser);
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
function inputFor(browser, screen) {
  const seedAt = { x: 300, y: 250 };
  if (screen.name === 'desktop') {
    return { seed: () => browser.pointer('mouse', [seedAt]), press: (key) => browser.press(key) };
  }
  const kind = screen.touch ? 'touch' : 'mouse';
  const centre = (key) => browser.evaluate((label) => {
    const button = [...document.querySelectorAll('#keys button')]
      .find((b) => b.textContent.includes(label));
    const box = button.getBoundingClientRect();
    return { x: box.x + box.width / 2, y: box.y + box.height / 2 };
  }, Buttons[key]);
  return {
    seed: () => (screen.touch ? browser.tap(seedAt.x, seedAt.y) : browser.pointer('mouse', [seedAt])),
    press: async (key) => browser.pointer(kind, [await centre(key)]),
    hold: async (key, ms) => browser.pointer(kind, [await centre(key)], { holdMs: ms }),
  };
}

// On every screen the surface is the canvas's CSS box, in whole CSS pixels, and the page fits the
// screen with no scrolling; the desktop page shows `size`, the design size unless resized; a
// touch screen's keys are large enough for a finger.
async function checkLayout(browser, screen, size = [626, 549]) {
  const layout = await browser.evaluate(() => {
    const canvas = document.querySelector('#canvas');
    const box = canvas.getBoundingClientRect();
    const sides = [...document.querySelectorAll('#keys button')].flatMap((button) => {
      const key = button.getBoundingClientRect();
      return [key.width, key.height];
    });
    const page = document.documentElement;
    return { surface: [canvas.width, canvas.height], css: [box.width, box.height],
             overflow: [page.scrollWidth - innerWidth, page.scrollHeight - innerHeight],
             smallestKey: Math.min(...sides) };
  });
  assert.deepEqual(layout.surface, layout.css, 'a surface unit is a whole CSS pixel');
  assert.deepEqual(layout.overflow, [0, 0], 'the page fits the screen');
  if (screen.touch) {
    assert.ok(layout.smallestKey >= 44, `keys of at least 44 CSS pixels (${layout.smallestKey})`);
  } else {
    assert.deepEqual(layout.surface, size);
  }
}

// Compares the canvas as the screen shows it, in device pixels, with its surface: every device
// pixel is the colour of the surface pixel under it, so a disc of any size covers scale x scale
// times the device pixels it covers on a screen of one device pixel per CSS pixel. The canvas is
// cut out of a screenshot of the whole page, which every engine takes alike.
async function checkScaledUp(browser, screen) {
  const png = await browser.screenshot();
  const result = await browser.evaluate(async (shot) => {
    const png = await (await fetch(`data:image/png;base64,${shot}`)).blob();
    const bitmap = await createImageBitmap(png);
    const canvas = document.querySelector('#canvas');
    const box = canvas.getBoundingClientRect();
    const scale = bitmap.width / innerWidth;
    const [width, height] = [canvas.width * scale, canvas.height * scale];
    const shown = new OffscreenCanvas(width, height).getContext('2d');
    shown.drawImage(bitmap, -box.x * scale, -box.y * scale);
    const device = shown.getImageData(0, 0, width, height).data;
    const surface = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    const coloured = (d, k) => !(d[k] === d[k + 1] && d[k + 1] === d[k + 2]);
    let shownColoured = 0, drawnColoured = 0, wrong = 0;
    for (let k = 0; k < surface.length; k += 4) drawnColoured += coloured(surface, k);
    for (let k = 0; k < device.length; k += 4) {
      const x = Math.floor((k / 4) % width / scale);
      const s = 4 * (Math.floor(k / 4 / width / scale) * canvas.width + x);
      shownColoured += coloured(device, k);
      wrong += [0, 1, 2].some((c) => device[k + c] !== surface[s + c]);
    }
    return { scale, shownColoured, drawnColoured, wrong };
  }, png);
  console.log(`scaled up ${result.scale}x: ${result.drawnColoured} coloured surface pixels shown ` +
              `as ${result.shownColoured} device pixels, ${result.wrong} device pixels differ`);
  assert.equal(result.scale, screen.scale, 'the screenshot has the screen\'s device pixels');
  assert.ok(result.drawnColoured > 0, 'coloured discs on the surface');
  assert.equal(result.wrong, 0, 'each device pixel shows the surface pixel under it, unsmoothed');
  assert.equal(result.shownColoured, result.scale * result.scale * result.drawnColoured);
}

// A build of its own for the update journey: the built page with the build's name in its page,
// its .js and its .wasm (a custom section), which the page reports in window.gravityBuild as each
// one runs, and a worker stamped for these files.
function markedBuild(site, build) {
  const reportWasm = `window.gravityBuild = { html: '${build}' };
for (const name of ['instantiate', 'instantiateStreaming']) {
  const real = WebAssembly[name];
  WebAssembly[name] = async (...args) => {
    const result = await real(...args);
    const [section] = WebAssembly.Module.customSections(result.module, 'gravity-build');
    window.gravityBuild.wasm = new TextDecoder().decode(section);
    return result;
  };
}`;
  const sectionName = Buffer.from('gravity-build');
  const section = Buffer.concat([Buffer.from([0, 1 + sectionName.length + build.length,
                                              sectionName.length]), sectionName, Buffer.from(build)]);
  return copySite(site, {
    'index.html': withFirstScript(reportWasm),
    'index.js': (js) => Buffer.concat([js, Buffer.from(`\nwindow.gravityBuild.js = '${build}';\n`)]),
    'index.wasm': (wasm) => Buffer.concat([wasm, section]),
  });
}

// The update journey's steps, on an origin of their own.
async function updateOnce(browser, site) {
  const [a, b] = ['A', 'B'].map((build) => browser.serves(markedBuild(site, build)));
  const server = await serve(a);
  const running = async (build, when) => {
    await programRunning(browser);
    assert.deepEqual(await browser.evaluate(() => window.gravityBuild),
                     { html: build, js: build, wasm: build }, `${when}: one build runs`);
  };
  try {
    await browser.open(server.url);
    await running('A', 'first load');
    await browser.evaluate(() => navigator.serviceWorker.ready.then(() => true));
    server.dir = b;
    await browser.reload();
    await running('B', 'reloaded once B is served');
    server.stop();
    await browser.reload();
    await running('B', 'reloaded offline');
    await browser.newTab(server.url);
    await running('B', 'opened offline in a new tab');
    const worker = fs.readFileSync(path.join(b, 'service_worker.js'), 'utf8');
    const stamp = ['Version', 'Digest'].map((name) => new RegExp(`const ${name} = '([^']*)'`).exec(worker)[1]);
    // B's worker clears A's cache as it takes over, which may finish after the page presents.
    // A reading that fails (the page busy with its worker) is read again, and the caches found
    // last are named if B's is not left alone in time.
    const kept = `gravity-${stamp.join('-')}`;
    let left = [];
    for (const end = Date.now() + 30000; Date.now() < end; await sleep(100)) {
      left = await browser.evaluate(() => caches.keys()).catch((error) => [`unreadable: ${error}`]);
      if (left.length === 1 && left[0] === kept) break;
    }
    assert.deepEqual(left, [kept], `only B is kept, not ${JSON.stringify(left)}`);
  } finally {
    server.stop();
  }
}

const journeys = {
  // The page opens black and one click or tap fills it with coloured discs, seeding once.
  async first_click({ browser, input }, screenshot) {
    assert.equal(await browser.evaluate(() => document.title), 'Form1');
    await sleep(500);
    const before = await canvasSummary(browser);
    assert.equal(before.black, before.width * before.height, 'the canvas is black until input');
    await waitInPage(browser, () => window.gravityStats().ticks > 0);  // the timers run from the start

    await input.seed();
    const after = await summaryWithin(browser, SettleMs, (s) => s.coloured > 0);
    assert.ok(after.coloured > 0, 'coloured discs within a second of the click');
    await sleep(300);
    assert.equal((await stats(browser)).seeds, 1, 'one universe for one click or tap');

    // The command keys and the right button are the program's: the page neither scrolls nor opens
    // a menu. Other keys keep their usual meaning.
    await browser.evaluate(() => {
      window.prevented = {};
      const note = (event) => { window.prevented[event.code || event.type] = event.defaultPrevented; };
      window.addEventListener('keydown', note);
      window.addEventListener('contextmenu', note);
    });
    for (const key of ['ArrowDown', 'PageDown', 'Space', 'KeyA']) await browser.press(key);
    await browser.pointer('mouse', [{ x: 300, y: 250 }], { button: 'right' });
    assert.deepEqual(await browser.evaluate(() => window.prevented),
                     { ArrowDown: true, PageDown: true, Space: true, KeyA: false, contextmenu: true });
    if (screenshot) {
      await sleep(2500);
      fs.writeFileSync(screenshot, await browser.screenshot(), 'base64');
    }

  },

  // Enter plays the history back as white marks only; Enter again brings the coloured bodies back.
  async playback({ browser, input }) {
    await input.seed();
    await sleep(800);
    await input.press('Enter');
    const played = await summaryWithin(browser, SettleMs, (s) => s.white > 0);
    assert.equal(played.coloured, 0, 'no coloured disc during playback');
    assert.ok(played.white > 0, 'white marks during playback');
    assert.ok((await stats(browser)).playbackTicks > 0);

    await input.press('Enter');
    const live = await summaryWithin(browser, SettleMs, (s) => s.coloured > 0);
    assert.ok(live.coloured > 0, 'coloured discs again after the second Enter');
    assert.equal(live.white, 0, 'no white mark left after the second Enter');
  },

  // Keypad minus zooms out: the world outline, 20000 world units across, is 20000 / zoom surface
  // units wide. The arrows then move it 30 units, Space and Page Up or Down centre it again on a
  // body at the origin (no universe is seeded, so all are there), and the surface follows the
  // window when it is resized. Pressing the on-screen keys seeds nothing and takes no focus.
  async zoom({ browser, screen, input }) {
    const outlineAt = async (zoom, where = () => true) => {
      const s = await summaryWithin(browser, SettleMs, (t) => t.outline !== null && where(t.outline) &&
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
    await browser.press('Minus');
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
      // The release and the last press's picture may take a few frames on a loaded machine; a
      // key that kept repeating would never settle.
      let held = null;
      for (let last = {}; JSON.stringify(held) !== JSON.stringify(last); await sleep(300)) {
        last = held;
        held = (await canvasSummary(browser)).outline;
      }
      zoom = Math.round(20000 / held.width);
      assert.ok(zoom >= 81, `held for 1.5 s the zoom goes from 71 to ${zoom}`);
      await sleep(300);
      assert.deepEqual((await canvasSummary(browser)).outline, held, 'no repeat after the release');
    }
    assert.equal((await stats(browser)).seeds, 0, 'the keys seed nothing');
    assert.equal(await browser.evaluate(() => document.activeElement === document.body), true,
                 'the keys take no focus');

    // A smaller window: the surface follows it, and the keypad's plus zooms back in on it.
    if (screen.touch) return;  // a phone has no window corner to drag
    await browser.evaluate(() => Object.assign(document.querySelector('#frame').style,
                                            { width: '400px', height: '300px' }));
    await waitInPage(browser, () => document.querySelector('#canvas').width === 400);
    await input.press('NumpadAdd');
    const resized = await summaryWithin(browser, SettleMs, (t) => t.outline &&
                                        Math.abs(t.outline.width - 20000 / (zoom - 1)) <= 2);
    assert.deepEqual([resized.width, resized.height], [400, 300]);
    assert.ok(Math.abs(resized.outline.width - 20000 / (zoom - 1)) <= 2,
              `${resized.outline.width} wide`);
  },

  // With T the bodies leave their trails: the coloured area grows instead of moving along. A
  // universe at rest may hardly move at first, so up to four universes are tried.
  async trails({ browser, input }) {
    let grown = false;
    for (let attempt = 0; attempt < 4 && !grown; ++attempt) {
      await input.seed();
      await sleep(300);
      await input.press('T');  // clears the surface; erasing is now off
      await sleep(200);
      const start = (await canvasSummary(browser)).coloured;
      await sleep(2000);
      const end = (await canvasSummary(browser)).coloured;
      grown = start > 0 && end > 2 * start;
      await input.press('T');  // erasing on again for the next try
    }
    assert.ok(grown, 'the coloured area at least doubles in two seconds of trails');
  },

  // Escape ends the program by the next frame: no more ticks, presents or seeding, the on-screen
  // keys are off, and the page says what to do. The last picture stays, scaled up crisply.
  async escape({ browser, screen, input }) {
    await input.seed();
    await sleep(300);
    await input.press('Escape');
    await waitInPage(browser, () => /[Rr]eload/.test(document.querySelector('#status').textContent));
    const ended = await stats(browser);
    await sleep(500);
    await browser.press('Enter');
    await input.seed();
    await sleep(300);
    assert.deepEqual(await stats(browser), ended);
    assert.match(await browser.evaluate(() => document.querySelector('#status').textContent), /[Rr]eload/);
    assert.equal(await browser.evaluate(() => document.querySelectorAll('#keys button:disabled').length), 12);
    await checkScaledUp(browser, screen);
  },

  // The page can be installed, and once loaded it opens and plays with no network at all.
  async offline({ browser, server, input }) {
    // The worker is active once it has kept the files.
    await browser.evaluate(() => navigator.serviceWorker.ready.then(() => true));
    // The test's browser profile is a private one, where nothing installs; anything else that
    // Chromium finds in the way (the manifest, its icons, the worker) is a fault of the page.
    if (browser.installabilityErrors) {
      const errors = await browser.installabilityErrors();
      assert.deepEqual(errors.filter((id) => id !== 'in-incognito'), [], 'installable');
    } else {
      console.log(`${browser.name} has no installability check; Chromium's covers the manifest`);
    }
    server.stop();
    await browser.reload();
    await programRunning(browser);
    await input.seed();
    const after = await summaryWithin(browser, SettleMs, (s) => s.coloured > 0);
    assert.ok(after.coloured > 0, 'coloured discs offline');
    assert.equal((await stats(browser)).seeds, 1);
  },

  // The corner drags the window's size in whole CSS pixels, with a mouse, a pen and a finger, and
  // a drag seeds nothing even where it ends over the canvas. Where the window has no room to grow
  // there is no corner.
  async grip({ browser, screen }) {
    const grip = () => browser.evaluate(() => {
      const box = document.querySelector('#grip').getBoundingClientRect();
      return box.width > 0 ? { x: box.x + box.width / 2, y: box.y + box.height / 2 } : null;
    });
    if (screen.touch) {
      assert.equal(await grip(), null, 'no corner on an upright phone');
      return;
    }
    await browser.evaluate(() => {
      window.gripPointers = [];
      document.querySelector('#grip').addEventListener('pointerdown',
                                                       (e) => window.gripPointers.push(e.pointerType));
    });
    const drags = [['mouse', -200, -200, [426, 349]], ['pen', 100, 50, [526, 399]],
                   ['touch', 100, 150, [626, 549]]];
    for (const [kind, dx, dy, size] of drags) {
      const at = await grip();
      await browser.pointer(kind, [at, { x: at.x + dx / 3, y: at.y + dy / 3 },
                                   { x: at.x + dx, y: at.y + dy }]);
      await waitInPage(browser, ([width, height]) => {
        const canvas = document.querySelector('#canvas');
        return canvas.width === width && canvas.height === height;
      }, size);
      await checkLayout(browser, screen, size);
      console.log(`grip: a ${kind} drag by ${dx}, ${dy} resized the surface to ${size.join(' x ')}`);
    }
    const arrived = await browser.evaluate(() => window.gripPointers);
    for (const [kind] of drags.filter(([kind]) => kind !== 'mouse')) {
      if (browser.emulates[kind]) {
        assert.ok(arrived.includes(kind), `a ${kind} took the corner (${arrived})`);
      } else {
        console.log(`grip: ${browser.name} cannot emulate a ${kind} here, so that drag came as a mouse's`);
      }
    }
    assert.equal((await stats(browser)).seeds, 0, 'dragging the corner seeds nothing');
  },

  // An update never mixes two builds: build A is loaded and kept, then the server holds build B;
  // a reload runs B, page, .js and .wasm alike, and so does a reload without a network. Once no
  // page of A is open, A's cache is gone.
  async update({ browser, site }) {
    for (let tries = 1; ; ++tries) {
      try {
        return await updateOnce(browser, site);
      } catch (error) {
        const dropped = browser.dropsIdleCaches && tries < 3 &&
          (await browser.evaluate(() => document.body?.innerText ?? '')).includes('FetchEvent');
        if (!dropped) throw error;
        console.log(`update: ${browser.name} dropped the kept files while no page was open; again`);
      }
    }
  },

  // The simulation timer keeps its 1 ms cadence: at least 9900 ticks in ten seconds. A machine
  // busy with other work can hold the browser off the processor for longer than the cadence
  // catches up, so the ticks are counted every second for up to 30 s until some ten seconds in a
  // row make it; a page that cannot keep 1 ms never does.
  async cadence({ browser, input }) {
    await input.seed();
    const count = async () => ({ at: Date.now(), ticks: (await stats(browser)).ticks });
    const counts = [await count()];
    let best = 0;  // the most ticks in ten seconds, over ten or more seconds in a row
    while (best < 9900 && counts.length <= 30) {
      await sleep(1000);
      const last = await count();
      for (const first of counts.filter((c) => last.at - c.at >= 10000)) {
        best = Math.max(best, Math.floor(((last.ticks - first.ticks) * 10000) / (last.at - first.at)));
      }
      counts.push(last);
    }
    console.log(`${best} ticks in the best 10 s in a row`);
    assert.ok(best >= 9900, `${best} ticks in the best 10 s in a row of ${counts.length - 1} s`);
  },
};

async function main() {
  const [site, engine, screenName, names = '', screenshot] = process.argv.slice(2);
  const chosen = names.split(',');
  if (!site || !['chromium', 'firefox', 'webkit'].includes(engine) || !Screens[screenName] ||
      !chosen.every((name) => journeys[name])) {
    console.error('usage: page_test.js SITE_DIR chromium|firefox|webkit ' +
                  `${Object.keys(Screens).join('|')} JOURNEY[,JOURNEY...] [SCREENSHOT]\n` +
                  `journeys: ${Object.keys(journeys).join(', ')}`);
    process.exit(2);
  }
  const screen = { name: screenName, ...Screens[screenName] };
  const browser = await launch(engine, screenName);
  let failed = 0;
  try {
    for (const name of chosen) {
      await browser.takeErrors();  // what the last journey left behind
      const server = await serve(browser.serves(site));
      try {
        await browser.open(server.url);
        await programRunning(browser);
        await checkLayout(browser, screen);
        await journeys[name]({ browser, screen, site, server, input: inputFor(browser, screen) },
                             screenshot);
        assert.deepEqual(await browser.takeErrors(), [], 'no console errors');
        console.log(`${name} in ${browser.name} on the ${screenName} screen: passed`);
      } catch (error) {
        ++failed;
        console.log(`${name} in ${browser.name} on the ${screenName} screen: FAILED`);
        console.error(error);
      } finally {
        server.stop();
      }
    }
  } finally {
    await browser.close();
  }
  console.log(`${chosen.length - failed} passed, ${failed} failed`);
  process.exit(failed > 0 ? 1 : 0);
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
