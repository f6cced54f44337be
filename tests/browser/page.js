// Serves the web build and opens it in Debian's Chromium, headless, for the browser tests and the
// measuring script. Any console error or uncaught exception on the page is collected.
'use strict';

const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');
const { chromium } = require('playwright-core');

const Types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
                '.webmanifest': 'application/manifest+json', '.png': 'image/png',
                '.svg': 'image/svg+xml' };

// The screens the page is tried on: the desktop page at one and at two device pixels per CSS
// pixel, and a phone held upright.
const Screens = {
  desktop: { viewport: { width: 800, height: 660 }, deviceScaleFactor: 1 },
  dense: { viewport: { width: 800, height: 660 }, deviceScaleFactor: 2 },
  phone: { viewport: { width: 390, height: 844 }, deviceScaleFactor: 3, isMobile: true,
           hasTouch: true },
};

// A static server for `dir` on a free port of localhost.
function serve(dir) {
  const server = http.createServer((request, response) => {
    const name = path.basename(new URL(request.url, 'http://localhost').pathname) || 'index.html';
    fs.readFile(path.join(dir, name), (error, data) => {
      if (error) {
        response.writeHead(404).end();
        return;
      }
      response.writeHead(200, { 'Content-Type': Types[path.extname(name)] || 'application/octet-stream' });
      response.end(data);
    });
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// Opens the page with the program running and its first frame presented, on one of the Screens.
async function openPage(dir, screen = 'desktop') {
  const server = await serve(dir);
  const browser = await chromium.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox'],
  });
  const context = await browser.newContext(Screens[screen]);
  const page = await context.newPage();
  const errors = [];
  page.on('console', (message) => {
    if (message.type() === 'error') errors.push(message.text());
  });
  page.on('pageerror', (error) => errors.push(String(error)));
  await page.goto(`http://127.0.0.1:${server.address().port}/`);
  await page.waitForFunction(() => typeof window.gravityStats === 'function' &&
                                   window.gravityStats().presents > 0);
  const close = async () => {
    await browser.close();
    server.close();
  };
  // No network from now on: the browser is offline and the server gone.
  const goOffline = async () => {
    await context.setOffline(true);
    server.closeAllConnections();
    server.close();
  };
  return { page, context, errors, close, goOffline };
}

// A summary of the canvas's pixels, worked out in the page: how many are black, white, the overlay's
// greys or any other colour, and the box around the world outline's grey.
function canvasSummary(page) {
  return page.evaluate(() => {
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

const stats = (page) => page.evaluate(() => window.gravityStats());

module.exports = { Screens, openPage, canvasSummary, stats };
