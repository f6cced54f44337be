// WebKitGTK, the engine of Safari and of every browser on an iPhone or iPad: Debian's MiniBrowser
// driven by WebKitWebDriver through selenium-webdriver, on an Xvfb display of its own whose GDK
// scale gives the device pixels per CSS pixel. Classic WebDriver has no console, so the page it is
// served gets a first script that collects errors and exceptions. WebKitGTK turns WebDriver's pen
// and touch actions into mouse events, so those go as the mouse, and a tap on the canvas is a
// touch event made in script.
'use strict';

const { execFileSync, spawn } = require('node:child_process');
const { Builder } = require('selenium-webdriver');
const { Command, Name } = require('selenium-webdriver/lib/command');
const { DriverService } = require('selenium-webdriver/remote');
const { findFreePort } = require('selenium-webdriver/net/portprober');
const { copySite, withFirstScript, keyActions, pointerActions } = require('./page.js');

// The page's background (#202020 in index.html), all round the page's contents.
const PageBackground = 'rgb(32,32,32)';
const MiniBrowser = process.env.MINIBROWSER || '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';

const ErrorCollector = `window.gravityErrors = [];
addEventListener('error', (e) => gravityErrors.push(e.message || \`\${e.target.src || e.target.href} did not load\`), true);
addEventListener('unhandledrejection', (e) => gravityErrors.push(String(e.reason)));
const consoleError = console.error;
console.error = (...parts) => { gravityErrors.push(parts.join(' ')); consoleError.apply(console, parts); };`;

// An Xvfb display that the window fits on at `scale`, numbered by Xvfb itself.
function startDisplay(width, height, scale) {
  const size = `${(width + 100) * scale}x${(height + 200) * scale}x24`;
  const xvfb = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', size, '-nolisten', 'tcp'],
                     { stdio: ['ignore', 'ignore', 'ignore', 'pipe'] });
  process.on('exit', () => xvfb.kill());
  return new Promise((resolve, reject) => {
    xvfb.on('exit', () => reject(new Error('Xvfb did not start')));
    xvfb.stdio[3].on('data', (text) => resolve({ display: `:${String(text).trim()}`, xvfb }));
  });
}

async function launch({ width, height, scale, touch }) {
  if (touch) {
    console.log('WebKitGTK cannot emulate touch here: taps on the canvas are touch events made in ' +
                'script, and the on-screen keys are pressed with the mouse');
  }
  const { display, xvfb } = await startDisplay(width, height, scale);
  const port = await findFreePort();
  const service = new DriverService('/usr/bin/WebKitWebDriver', {
    port, args: [`--port=${port}`], loopback: true,
    env: { ...process.env, DISPLAY: display, GDK_BACKEND: 'x11', WAYLAND_DISPLAY: '',
           GDK_SCALE: String(scale) },
  });
  const driver = await new Builder()
    .withCapabilities({ browserName: 'MiniBrowser',
                        'webkitgtk:browserOptions': { binary: MiniBrowser, args: ['--automation'] } })
    .usingServer(await service.start())
    .build();
  // The window has a toolbar: size it until the page itself is width x height.
  const fitWindow = async () => {
    const window = driver.manage().window();
    await window.setRect({ x: 0, y: 0, width, height });
    const inner = await driver.executeScript('return [innerWidth, innerHeight]');
    await window.setRect({ width: 2 * width - inner[0], height: 2 * height - inner[1] });
  };
  await fitWindow();

  const errors = [];
  const harvestErrors = async () => {
    errors.push(...await driver.executeScript('return (window.gravityErrors || []).splice(0)'));
  };
  const perform = async (sources) => {
    await driver.execute(new Command(Name.ACTIONS).setParameter('actions', sources));
    await driver.execute(new Command(Name.CLEAR_ACTIONS));
  };
  const served = new Map();

  const adapter = {
    name: 'WebKitGTK',
    emulates: { touch: false, pen: false },
    dropsIdleCaches: true,
    serves(dir) {
      if (!served.has(dir)) served.set(dir, copySite(dir, { 'index.html': withFirstScript(ErrorCollector) }));
      return served.get(dir);
    },
    async takeErrors() {
      await harvestErrors();
      return errors.splice(0);
    },
    async open(url) {
      await harvestErrors();
      await driver.get(url);
    },
    async reload() {
      await harvestErrors();
      await driver.navigate().refresh();
    },
    async newTab(url) {
      await harvestErrors();
      const old = await driver.getWindowHandle();
      await driver.switchTo().newWindow('tab');
      const fresh = await driver.getWindowHandle();
      await driver.switchTo().window(old);
      await driver.close();
      await driver.switchTo().window(fresh);
      // The automation session keeps a site's caches in memory only, and empties them once the
      // site has had no page open for a few seconds (a person's WebKit keeps them on disk), so the
      // new tab loads first and is sized after.
      await driver.get(url);
      await fitWindow();
    },
    async evaluate(fn, arg) {
      const result = await driver.executeAsyncScript(`const done = arguments[1];
        Promise.resolve().then(() => (${fn})(arguments[0]))
          .then((value) => done({ value }), (error) => done({ error: String(error) }));`, arg ?? null);
      if (result.error) throw new Error(result.error);
      return result.value;
    },
    press: (key) => perform(keyActions(key)),
    // WebKitGTK makes mouse events of a pen's or a finger's actions: every pointer goes as the
    // mouse. After WebDriver's right click its mouse stays pressed for good, as far as pointer
    // events go, so another button's click is made in script.
    pointer: (kind, path, options = {}) => (options.button && options.button !== 'left'
      ? adapter.evaluate(({ x, y, button }) => {
        const target = document.elementFromPoint(x, y);
        for (const type of ['mousedown', 'contextmenu', 'mouseup']) {
          target.dispatchEvent(new MouseEvent(type, { bubbles: true, cancelable: true, clientX: x,
                                                      clientY: y, button }));
        }
      }, { ...path[0], button: { middle: 1, right: 2 }[options.button] })
      : perform(pointerActions('mouse', path, options))),
    // A finger's tap made in script, which reaches the page's touch handling as a real one would.
    // WebKit makes touches and their lists through the document, not through constructors.
    tap: (x, y) => adapter.evaluate(({ x, y }) => {
      const target = document.elementFromPoint(x, y);
      const touch = document.createTouch(window, target, 1, x, y, x, y);
      for (const [type, touches] of [['touchstart', [touch]], ['touchend', []]]) {
        const list = document.createTouchList(...touches);
        target.dispatchEvent(new TouchEvent(type, { bubbles: true, cancelable: true, touches: list,
                                                    targetTouches: list,
                                                    changedTouches: document.createTouchList(touch) }));
      }
    }, { x, y }),
    // The display's own pixels, as a person sees them: WebKitGTK's WebDriver screenshot smooths a
    // canvas scaled up to the device pixels (2.48, Debian 13), which the screen shows sharp. The
    // page ends where its background colour ends on the display.
    async screenshot() {
      const [pageW, pageH] = (await driver.executeScript('return [innerWidth, innerHeight]'))
        .map((length) => length * scale);
      const root = execFileSync('import', ['-display', display, '-window', 'root', 'png24:-']);
      const magick = (...args) => execFileSync('convert', ['png:-', ...args], { input: root });
      const box = String(magick('-fill', 'black', '+opaque', PageBackground, '-format', '%@', 'info:'));
      const [w, h, x, y] = box.match(/\d+/g).map(Number);
      const page = `${pageW}x${pageH}+${x + w - pageW}+${y + h - pageH}`;
      return magick('-crop', page, '+repage', 'png24:-').toString('base64');
    },
    async close() {
      await driver.quit();
      await service.kill();
      xvfb.kill();
    },
  };
  return adapter;
}

module.exports = { launch };
