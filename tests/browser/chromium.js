// Debian's Chromium, headless, driven by playwright-core over the DevTools protocol. It emulates
// every screen fully: its size, its device pixels per CSS pixel, and touch and pen input.
'use strict';

const { chromium } = require('playwright-core');
const { sleep } = require('./page.js');

async function launch({ width, height, scale, touch }) {
  const browser = await chromium.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox'],
  });
  const context = await browser.newContext({ viewport: { width, height }, deviceScaleFactor: scale,
                                             isMobile: touch, hasTouch: touch });
  const errors = [];
  let page = null;
  let cdp = null;
  const usePage = async (next) => {
    page = next;
    page.on('console', (message) => message.type() === 'error' && errors.push(message.text()));
    page.on('pageerror', (error) => errors.push(String(error)));
    cdp = await context.newCDPSession(page);
  };
  await usePage(await context.newPage());

  const adapter = {
    name: 'Chromium',
    emulates: { touch: true, pen: true },
    serves: (dir) => dir,
    takeErrors: async () => errors.splice(0),
    page: () => page,
    open: (url) => page.goto(url),
    reload: () => page.reload(),
    async newTab(url) {
      const old = page;
      await old.close();
      await usePage(await context.newPage());
      await page.goto(url);
    },
    evaluate: (fn, arg) => page.evaluate(fn, arg),
    press: (key) => page.keyboard.press(key),
    // The DevTools protocol's own input, which alone has a pen.
    async pointer(kind, path, { holdMs = 0, button = 'left' } = {}) {
      const last = path[path.length - 1];
      if (kind === 'touch') {
        const finger = (type, points) => cdp.send('Input.dispatchTouchEvent',
                                                  { type, touchPoints: points });
        await finger('touchStart', [path[0]]);
        for (const point of path.slice(1)) await finger('touchMove', [point]);
        await sleep(holdMs);
        await finger('touchEnd', []);
        return;
      }
      const buttons = { left: 1, right: 2, middle: 4 }[button];
      const send = (type, { x, y }, pressed) => cdp.send('Input.dispatchMouseEvent', {
        type, x, y, pointerType: kind, button, buttons: pressed ? buttons : 0, clickCount: 1 });
      await send('mouseMoved', path[0], false);
      await send('mousePressed', path[0], true);
      for (const point of path.slice(1)) await send('mouseMoved', point, true);
      await sleep(holdMs);
      await send('mouseReleased', last, false);
    },
    tap: (x, y) => adapter.pointer('touch', [{ x, y }]),
    screenshot: async () => (await page.screenshot()).toString('base64'),
    // What keeps the page from being installable, in Chromium's words.
    async installabilityErrors() {
      const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
      return installabilityErrors.map((error) => error.errorId);
    },
    close: () => browser.close(),
  };
  return adapter;
}

module.exports = { launch };
