// Keeps the page's files so that it opens again without a network, one whole build at a time.
// Each build's worker carries the build's stamp, written in when the page is built: the version
// and a digest of the files' contents. It fetches the whole set, checks it against the digest and
// only then counts it as kept, in a cache named for the build, so a server caught halfway between
// two builds is never kept; the worker is simply tried again at the next visit. Every page load
// takes its page, its .js and its .wasm from one kept build, the newest complete one when the load
// begins, and keeps to that build even if a newer one arrives while it loads. A page opened with a
// network first asks for a newer build, so a rebuilt page runs at once. Once the newer worker is
// the active one (no page of the older build is open), it deletes the older caches.
'use strict';

const Version = '@GRAVITY_WEB_VERSION@';
// SHA-256 of the lines `sha256sum` prints for the files, in the order of Files.
const Digest = '@GRAVITY_WEB_DIGEST@';
const Files = [@GRAVITY_WEB_FILES@];
const Prefix = 'gravity-';
// Where the worker kept the page before builds had stamps.
const UnstampedCache = 'gravity';
const Cache = `${Prefix}${Version}-${Digest}`;
// Stored last in a build's cache, holding the time the set was complete: caches without it are
// still being filled.
const KeptMarker = 'kept';
// How long a page load waits for a newer build to arrive before it opens the kept one; a newer
// build that takes longer opens at the next load. Starting the new worker, fetching and checking
// its set takes seconds on a busy machine even from localhost.
const UpdateWaitMs = 10000;
const UpdatePollMs = 50;

// The build each page load is tied to, by the page's client id.
const buildOfClient = new Map();

const hex = (bytes) => [...new Uint8Array(bytes)].map((b) => b.toString(16).padStart(2, '0')).join('');
const sha256 = async (data) => hex(await crypto.subtle.digest('SHA-256', data));
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

self.addEventListener('install', (event) => {
  event.waitUntil((async () => {
    const responses = await Promise.all(Files.map((name) => fetch(name, { cache: 'no-cache' })));
    const bodies = await Promise.all(responses.map((response) => {
      if (!response.ok) throw new Error(`${response.url}: ${response.status}`);
      return response.arrayBuffer();
    }));
    let listing = '';
    for (let k = 0; k < Files.length; ++k) listing += `${await sha256(bodies[k])}  ${Files[k]}\n`;
    if (await sha256(new TextEncoder().encode(listing)) !== Digest) {
      throw new Error('the server holds files of another build');
    }
    const cache = await caches.open(Cache);
    try {
      await Promise.all(Files.map((name, k) => cache.put(name,
        new Response(bodies[k], { headers: responses[k].headers }))));
      await cache.put(KeptMarker, new Response(String(Date.now())));
    } catch (error) {
      await caches.delete(Cache);
      throw error;
    }
  })());
});

// When a build's set was complete, or -1 for a cache still being filled.
async function keptAt(name) {
  const marker = await caches.match(KeptMarker, { cacheName: name });
  return marker ? Number(await marker.text()) : -1;
}

self.addEventListener('activate', (event) => {
  event.waitUntil((async () => {
    const own = await keptAt(Cache);
    for (const name of await caches.keys()) {
      const at = name.startsWith(Prefix) ? await keptAt(name) : -1;
      if ((at >= 0 && at < own) || name === UnstampedCache) {
        await caches.delete(name);
      }
    }
  })());
});

// The cache of the build the server holds now, named from its worker's stamp, or null without a
// network.
async function serverBuild() {
  try {
    const worker = await (await fetch('service_worker.js', { cache: 'no-cache' })).text();
    const [version, digest] = ['Version', 'Digest'].map((name) =>
      new RegExp(`const ${name} = '([^']*)'`).exec(worker)?.[1]);
    return version && digest ? `${Prefix}${version}-${digest}` : null;
  } catch {
    return null;
  }
}

// When the server holds a build not kept yet, asks for its worker and gives it a little time to
// keep the set. The kept marker is awaited rather than the registration's state, which some
// browsers show this worker only a moment later.
async function awaitNewerBuild() {
  const build = await serverBuild();
  if (!build || (await keptAt(build)) >= 0) return;
  const end = Date.now() + UpdateWaitMs;
  await Promise.race([self.registration.update().catch(() => {}), sleep(UpdateWaitMs)]);
  while ((await keptAt(build)) < 0 && Date.now() < end) await sleep(UpdatePollMs);
}

async function newestBuild() {
  let newest = Cache;
  let newestAt = -1;
  for (const name of await caches.keys()) {
    const at = name.startsWith(Prefix) ? await keptAt(name) : -1;
    if (at > newestAt) {
      newest = name;
      newestAt = at;
    }
  }
  return newest;
}

self.addEventListener('fetch', (event) => {
  const request = event.request;
  const url = new URL(request.url);
  const scope = new URL(self.registration.scope);
  const name = url.pathname.slice(scope.pathname.length) || 'index.html';
  if (request.method !== 'GET' || url.origin !== scope.origin || !Files.includes(name)) {
    return;
  }
  event.respondWith((async () => {
    let build = buildOfClient.get(event.clientId);
    if (request.mode === 'navigate') {
      await awaitNewerBuild();
      build = await newestBuild();
      buildOfClient.set(event.resultingClientId, build);
    }
    const kept = await caches.match(name, { cacheName: build || (await newestBuild()) });
    return kept || fetch(request);
  })());
});
