// Debian's Firefox ESR, headless, driven by puppeteer-core over WebDriver BiDi. Its device pixels
// per CSS pixel are a preference set at start; input goes as W3C actions, touch included, but a
// pen is not implemented. Headless Firefox reports no fine pointer.
'use strict';

const puppeteer = require('puppeteer-core');
const { keyActions, pointerActions } = require('./page.js');

async function launch({ width, height, scale, touch }) {
  const browser = await puppeteer.launch({
    browser: 'firefox',
    executablePath: process.env.FIREFOX || '/usr/bin/firefox-esr',
    protocol: 'webDriverBiDi',
    headless: true,
    extraPrefsFirefox: { 'layout.css.devPixelsPerPx': String(scale) },
  });
  const errors = [];
  let page = null;
  // The first tab, sized: a new page's default viewport is not the one asked for.
  const usePage = async (next) => {
    page = next;
    await page.setViewport({ width, height, hasTouch: touch, isMobile: touch });
    page.on('console', (message) => message.type() === 'error' && errors.push(message.text()));
    page.on('pageerror', (error) => errors.push(String(error)));
  };
  await usePage((await browser.pages())[0]);
  const perform = (sources) => page.mainFrame().browsingContext.performActions(sources);

  const adapter = {
    name: 'Firefox',
    emulates: { touch: true, pen: false },
    serves: (dir) => dir,
    takeErrors: async () => errors.splice(0),
    open: (url) => page.goto(url),
    reload: () => page.reload(),
    async newTab(url) {
      const old = page;
      await usePage(await browser.newPage());
      await old.close();
      await page.goto(url);
    },
    evaluate: (fn, arg) => page.evaluate(fn, arg),
    press: (key) => perform(keyActions(key)),
    // Firefox's WebDriver has no pen yet: a pen's drag goes as the mouse's.
    pointer: (kind, path, options) =>
      perform(pointerActions(kind === 'pen' ? 'mouse' : kind, path, options)),
    tap: (x, y) => adapter.pointer('touch', [{ x, y }]),
    screenshot: () => page.screenshot({ encoding: 'base64' }),
    close: () => browser.close(),
  };
  return adapter;
}

module.exports = { launch };
