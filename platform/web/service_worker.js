// Keeps the page's files so that it opens again without a network. Each file is asked of the
// network first, so a rebuilt page arrives whenever the network is there, and every answer
// replaces the kept copy; without a network the kept copy answers. The page, its .js and its
// .wasm are kept together on the first load, before the worker starts answering.
'use strict';

const Cache = 'gravity';
const Files = ['./', 'index.html', 'index.js', 'index.wasm', 'manifest.webmanifest', 'icon-32.png',
               'icon-128.png', 'icon-256.png', 'icon.svg'];

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(Cache).then((cache) => cache.addAll(Files)));
});

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) {
    return;
  }
  event.respondWith((async () => {
    const cache = await caches.open(Cache);
    try {
      const response = await fetch(request);
      if (response.ok) {
        await cache.put(request, response.clone());
      }
      return response;
    } catch (error) {
      const kept = await cache.match(request, { ignoreSearch: true });
      if (kept) {
        return kept;
      }
      throw error;
    }
  })());
});
