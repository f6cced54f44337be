// Runs the browser build of the core's determinism check in a page of one engine and prints the
// hash it printed there; fails if it printed anything else, or nothing within two minutes.
//   node determinism.js path/to/core_determinism.js chromium|firefox|webkit
'use strict';

const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { launch, serve, sleep } = require('./page.js');

// A page that runs the check once and keeps every line it prints. The runtime calls postRun once
// main has returned, and onAbort when it cannot run at all.
const Page = `<!doctype html>
<meta charset="utf-8">
<title>The core's determinism check</title>
<script>
  window.printed = [];
  window.finished = false;
  var Module = {
    print: (line) => window.printed.push(line),
    printErr: (line) => window.printed.push(line),
    postRun: [() => { window.finished = true; }],
    onAbort: (what) => {
      window.printed.push(\`aborted: \${what}\`);
      window.finished = true;
    },
  };
</script>
<script src="core_determinism.js"></script>
`;

async function main() {
  const [check, engine] = process.argv.slice(2);
  const site = fs.mkdtempSync(path.join(os.tmpdir(), 'gravity-determinism-'));
  process.on('exit', () => fs.rmSync(site, { recursive: true, force: true }));
  fs.writeFileSync(path.join(site, 'index.html'), Page);
  for (const name of ['core_determinism.js', 'core_determinism.wasm']) {
    fs.copyFileSync(path.join(path.dirname(check), name), path.join(site, name));
  }
  const server = await serve(site);
  const browser = await launch(engine, 'desktop');
  try {
    await browser.open(server.url);
    const end = Date.now() + 120000;
    while (!(await browser.evaluate(() => window.finished))) {
      if (Date.now() > end) throw new Error(`no end of the check in ${browser.name}`);
      await sleep(100);
    }
    const printed = await browser.evaluate(() => window.printed);
    console.log(printed.join('\n'));
    if (printed.length !== 1) process.exitCode = 1;
  } finally {
    await browser.close();
    server.stop();
  }
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
