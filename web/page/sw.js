// The service worker: keeps the site in a cache so the game starts and plays without a network
// once loaded. The build names the cache after the site's contents, so a new build replaces it.
const CACHE = 'pawnfall-@SITE_VERSION@';
// The page's code, as the build lists it; the pictures and the waves it needs join the cache
// when it fetches them.
const SITE = ['./'].concat(@SITE_FILES@);

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(SITE)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((keys) => Promise.all(keys.filter((k) => k !== CACHE).map((k) => caches.delete(k))))
    .then(() => self.clients.claim()));
});

// From the cache first; anything else fetched is kept for the next time.
self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  event.respondWith(caches.open(CACHE).then((cache) => cache.match(event.request).then((hit) =>
    hit || fetch(event.request).then((response) => {
      if (response.ok) cache.put(event.request, response.clone());
      return response;
    }))));
});
