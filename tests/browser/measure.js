// Measures the page in headless Chromium for SECONDS after a click at each of RATES of CPU
// throttling (DevTools' stand-in for a slow phone; 1 is none): ticks and presents per second, the
// slowest second's ticks, the page's main-thread busy time (Chromium's own TaskDuration metric)
// and the CPU time of all Chromium's processes, both as a share of one core, on one of page.js's
// screens.
//   node measure.js SITE_DIR [SECONDS] [desktop|dense|phone] [RATES, e.g. 1,4,6,8]
'use strict';

const fs = require('node:fs');
const { launch, serve, programRunning, stats } = require('./page.js');

// CPU seconds of a process and everything it started, from /proc.
function treeCpuSeconds(pid) {
  const ticksPerSecond = 100;
  let total = 0;
  const children = new Map();
  for (const entry of fs.readdirSync('/proc')) {
    if (!/^\d+$/.test(entry)) continue;
    try {
      const stat = fs.readFileSync(`/proc/${entry}/stat`, 'utf8');
      const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
      const parent = Number(fields[1]);
      const cpu = (Number(fields[11]) + Number(fields[12])) / ticksPerSecond;
      if (!children.has(parent)) children.set(parent, []);
      children.get(parent).push({ pid: Number(entry), cpu });
    } catch {
      // The process ended while being read.
    }
  }
  const visit = (p) => {
    for (const child of children.get(p) || []) {
      total += child.cpu;
      visit(child.pid);
    }
  };
  visit(pid);
  return total;
}

// The counts as the page's last frame left them, with that frame's time: the page runs the ticks
// due by then at the start of the frame. Counts read between two frames, with the clock at the
// reading, would charge the ticks waiting for the next frame to the second being read: up to a
// frame's worth of ticks either way, and more when throttling makes frames long.
const followFrames = (page) => page.evaluate(() => {
  const afterFrame = (frameTime) => {
    window.gravityAtFrame = { ...window.gravityStats(), at: frameTime };
    requestAnimationFrame(afterFrame);
  };
  requestAnimationFrame(afterFrame);
});
const sample = (page) => page.evaluate(() => window.gravityAtFrame);

// One rate of CPU throttling (1 is none) for SECONDS, after a click and two seconds to settle: the
// rates overall, the slowest second's ticks, the main thread's busy time and all of Chromium's
// CPU. Each rate seeds its own universe, since one seeded earlier has often drifted off the screen,
// and a page with nothing to present is spared most of a frame's work.
async function measureAt(page, cdp, rate, seconds) {
  const busy = async () => (await cdp.send('Performance.getMetrics')).metrics
    .find((m) => m.name === 'TaskDuration').value;
  await cdp.send('Emulation.setCPUThrottlingRate', { rate });
  await page.mouse.click(300, 250);
  await new Promise((resolve) => setTimeout(resolve, 2000));
  // Chromium runs as this script's child, so its processes are this one's descendants.
  const start = { at: Date.now(), busy: await busy(), cpu: treeCpuSeconds(process.pid) };
  const samples = [await sample(page)];
  for (let k = 0; k < seconds; ++k) {
    await new Promise((resolve) => setTimeout(resolve, 1000));
    samples.push(await sample(page));
  }
  const end = { at: Date.now(), busy: await busy(), cpu: treeCpuSeconds(process.pid) };
  const per = (a, b, key) => (1000 * (b[key] - a[key])) / (b.at - a.at);
  const first = samples[0];
  const last = samples[samples.length - 1];
  const slowest = Math.min(...samples.slice(1).map((s, k) => per(samples[k], s, 'ticks')));
  const wall = (end.at - start.at) / 1000;
  console.log(`throttled ${rate}x, over ${wall.toFixed(1)} s: ` +
    `ticks/s=${per(first, last, 'ticks').toFixed(1)} slowest second=${slowest.toFixed(0)} ` +
    `presents/s=${per(first, last, 'presents').toFixed(1)} ` +
    `main thread busy=${(100 * (end.busy - start.busy) / wall).toFixed(1)}% ` +
    `all Chromium=${(100 * (end.cpu - start.cpu) / wall).toFixed(1)}% of a core`);
}

async function main() {
  const [site, secondsText, screen = 'desktop', ratesText = '1'] = process.argv.slice(2);
  const seconds = Number(secondsText || 10);
  const server = await serve(site);
  const browser = await launch('chromium', screen);
  await browser.open(server.url);
  await programRunning(browser);
  const page = browser.page();
  const cdp = await page.context().newCDPSession(page);
  await cdp.send('Performance.enable');
  // Registered after the page's own frame loop, so it runs after it in every frame.
  await followFrames(page);
  for (const rate of ratesText.split(',').map(Number)) {
    await measureAt(page, cdp, rate, seconds);
  }
  await browser.close();
  server.stop();
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
