// What the browser tests share whichever engine runs them: the screens, the server of the built
// page, copies of the page made for a test, W3C WebDriver input actions, and what is read off the
// page. Each engine has an adapter beside this file (chromium.js, firefox.js, webkit.js) whose
// launch(screen) starts the browser once on a screen and answers the same few calls:
//   serves(dir), the folder to serve for the built page in `dir`; open(url), reload(),
//   newTab(url); evaluate(fn, arg); press(key), pointer(kind, path, { holdMs, button }),
//   tap(x, y); screenshot(), the page's PNG in base64; takeErrors(), the console errors and uncaught
//   exceptions since it was last asked; close();
// and says in `emulates` which of touch and pen input reach the page as such, and in
// `dropsIdleCaches` whether its session may lose a site's kept files while no page of it is open.
'use strict';

const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const http = require('node:http');
const os = require('node:os');
const path = require('node:path');

const Source = path.resolve(__dirname, '../..');

const Types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
                '.webmanifest': 'application/manifest+json', '.png': 'image/png',
                '.svg': 'image/svg+xml' };

// The screens the page is tried on, in CSS pixels: the desktop page at one and at two device
// pixels per CSS pixel, and a phone held upright, with touch, at three.
const Screens = {
  desktop: { width: 800, height: 660, scale: 1, touch: false },
  dense: { width: 800, height: 660, scale: 2, touch: false },
  phone: { width: 390, height: 844, scale: 3, touch: true },
};

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// A static server on a free port of localhost, a new origin each time, so that no offline worker
// or stored state carries over from one journey to the next. `server.dir` may change while it
// serves; `stop()` takes the network away.
function serve(dir) {
  const server = http.createServer((request, response) => {
    const name = path.basename(new URL(request.url, 'http://localhost').pathname) || 'index.html';
    fs.readFile(path.join(server.dir, name), (error, data) => {
      if (error) {
        response.writeHead(404).end();
        return;
      }
      response.writeHead(200, { 'Content-Type': Types[path.extname(name)] || 'application/octet-stream' });
      response.end(data);
    });
  });
  server.dir = dir;
  server.stop = () => {
    server.closeAllConnections();
    server.close();
  };
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => {
    server.url = `http://127.0.0.1:${server.address().port}/`;
    resolve(server);
  }));
}

// Copies of the built page live here until the test ends.
let copies = null;
process.on('exit', () => copies && fs.rmSync(copies, { recursive: true, force: true }));

// A copy of the built page in `dir` with some files changed by `edits` (file name to a function of
// its bytes), its worker stamped anew by the build's own stamping script, as a build of those
// files would be.
function copySite(dir, edits) {
  copies ??= fs.mkdtempSync(path.join(os.tmpdir(), 'gravity-pages-'));
  const copy = fs.mkdtempSync(path.join(copies, 'page-'));
  for (const name of fs.readdirSync(dir)) {
    const data = fs.readFileSync(path.join(dir, name));
    fs.writeFileSync(path.join(copy, name), edits[name] ? edits[name](data) : data);
  }
  const worker = fs.readFileSync(path.join(dir, 'service_worker.js'), 'utf8');
  const version = /const Version = '([^']*)'/.exec(worker)[1];
  execFileSync('cmake', [`-DSITE=${copy}`, `-DVERSION=${version}`,
                         `-DTEMPLATE=${Source}/platform/web/service_worker.js`,
                         `-DOUTPUT=${copy}/service_worker.js`, '-P', `${Source}/cmake/web_stamp.cmake`]);
  return copy;
}

// Puts `script` first in the page's head, before anything of the page runs.
const withFirstScript = (script) => (html) =>
  String(html).replace('<head>', `<head>\n<script>${script}</script>`);

// WebDriver's key values for the keys the journeys press, by Playwright's names for them.
const WebDriverKeys = {
  Enter: '\uE007', Escape: '\uE00C', Space: '\uE00D', PageUp: '\uE00E', PageDown: '\uE00F',
  ArrowLeft: '\uE012', ArrowUp: '\uE013', ArrowRight: '\uE014', ArrowDown: '\uE015',
  NumpadAdd: '\uE025', NumpadSubtract: '\uE027', Minus: '-', KeyA: 'a', T: 't',
};

// One key pressed and released, as a W3C WebDriver action source.
const keyActions = (key) => [{
  type: 'key', id: 'keyboard',
  actions: [{ type: 'keyDown', value: WebDriverKeys[key] }, { type: 'keyUp', value: WebDriverKeys[key] }],
}];

// A mouse, pen or finger put down at the first point of `path`, moved through the others, held
// for `holdMs` and lifted at the last, as a W3C WebDriver action source.
function pointerActions(kind, path, { holdMs = 0, button = 'left' } = {}) {
  const buttonNumber = { left: 0, middle: 1, right: 2 }[button];
  const move = ({ x, y }) => ({ type: 'pointerMove', x: Math.round(x), y: Math.round(y),
                                origin: 'viewport', duration: 0 });
  const actions = [move(path[0]), { type: 'pointerDown', button: buttonNumber }];
  for (const point of path.slice(1)) actions.push(move(point));
  if (holdMs > 0) actions.push({ type: 'pause', duration: holdMs });
  actions.push({ type: 'pointerUp', button: buttonNumber });
  return [{ type: 'pointer', id: kind, parameters: { pointerType: kind }, actions }];
}

// Polls `fn(arg)` in the page until it returns something true, for at most 30 s.
async function waitInPage(browser, fn, arg) {
  const end = Date.now() + 30000;
  while (!(await browser.evaluate(fn, arg))) {
    if (Date.now() > end) {
      const page = await browser.evaluate(() => JSON.stringify({
        url: location.href, state: document.readyState, title: document.title,
        worker: Boolean(navigator.serviceWorker && navigator.serviceWorker.controller),
        body: document.body ? document.body.innerText.slice(0, 200) : null,
        stats: typeof window.gravityStats === 'function' ? window.gravityStats() : null,
      })).catch((error) => `unreadable: ${error}`);
      throw new Error(`timed out waiting for ${fn}\npage: ${page}`);
    }
    await sleep(50);
  }
}

// Waits until the program runs and has presented its first frame.
const programRunning = (browser) => waitInPage(browser, () =>
  typeof window.gravityStats === 'function' && window.gravityStats().presents > 0);

// A summary of the canvas's pixels, worked out in the page: how many are black, white, the overlay's
// greys or any other colour, and the box around the world outline's grey.
function canvasSummary(browser) {
  return browser.evaluate(() => {
    const canvas = document.querySelector('#canvas');
    const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    const summary = { width: canvas.width, height: canvas.height, black: 0, white: 0, grey: 0,
                      coloured: 0, outline: null };
    let left = Infinity, top = Infinity, right = -1, bottom = -1;
    for (let k = 0; k < data.length; k += 4) {
      const r = data[k], g = data[k + 1], b = data[k + 2];
      if (r === 0 && g === 0 && b === 0) {
        summary.black++;
      } else if (r === 255 && g === 255 && b === 255) {
        summary.white++;
      } else if (r === g && g === b && (r === 50 || r === 30)) {
        summary.grey++;
        if (r === 50) {
          const x = (k / 4) % canvas.width, y = Math.floor(k / 4 / canvas.width);
          left = Math.min(left, x); right = Math.max(right, x);
          top = Math.min(top, y); bottom = Math.max(bottom, y);
        }
      } else {
        summary.coloured++;
      }
    }
    if (right >= 0) {
      summary.outline = { left, top, width: right - left + 1, height: bottom - top + 1 };
    }
    return summary;
  });
}

const stats = (browser) => browser.evaluate(() => window.gravityStats());

// The engine's adapter, started on one of the Screens.
const launch = (engine, screen) => require(`./${engine}.js`).launch(Screens[screen]);

module.exports = { Screens, sleep, serve, copySite, withFirstScript, keyActions, pointerActions,
                   waitInPage, programRunning, canvasSummary, stats, launch };
