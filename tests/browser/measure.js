// Measures the page in headless Chromium over SECONDS after a click: ticks and presents per
// second, the page's main-thread busy time (Chromium's own TaskDuration metric) and the CPU time
// of all Chromium's processes, both as a share of one core, on one of page.js's screens.
//   node measure.js SITE_DIR [SECONDS] [desktop|dense|phone]
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

async function main() {
  const [site, secondsText, screen = 'desktop'] = process.argv.slice(2);
  const seconds = Number(secondsText || 10);
  const server = await serve(site);
  const browser = await launch('chromium', screen);
  await browser.open(server.url);
  await programRunning(browser);
  const page = browser.page();
  const cdp = await page.context().newCDPSession(page);
  await cdp.send('Performance.enable');
  const busy = async () => (await cdp.send('Performance.getMetrics')).metrics
    .find((m) => m.name === 'TaskDuration').value;

  await page.mouse.click(300, 250);
  await new Promise((resolve) => setTimeout(resolve, 2000));
  // Chromium runs as this script's child, so its processes are this one's descendants.
  const browserPid = process.pid;
  const start = { at: Date.now(), stats: await stats(page), busy: await busy(),
                  cpu: treeCpuSeconds(browserPid) };
  await new Promise((resolve) => setTimeout(resolve, seconds * 1000));
  const end = { at: Date.now(), stats: await stats(page), busy: await busy(),
                cpu: treeCpuSeconds(browserPid) };
  const wall = (end.at - start.at) / 1000;
  const rate = (key) => ((end.stats[key] - start.stats[key]) / wall).toFixed(1);
  console.log(`over ${wall.toFixed(1)} s: ticks/s=${rate('ticks')} presents/s=${rate('presents')}`);
  console.log(`page main thread busy: ${(100 * (end.busy - start.busy) / wall).toFixed(1)}% of a core`);
  console.log(`all Chromium processes: ${(100 * (end.cpu - start.cpu) / wall).toFixed(1)}% of a core`);
  await browser.close();
  server.stop();
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
