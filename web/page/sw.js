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

// What the page fetched before this worker took it over (on the first visit, its picture sheet
// and waves), which it names once the worker is there, is kept too.
self.addEventListener('message', (event) => {
  if (!Array.isArray(event.data && event.data.keep)) return;
  const wanted = event.data.keep.filter((url) => new URL(url).origin === self.location.origin);
  event.waitUntil(caches.open(CACHE).then((cache) => Promise.all(wanted.map((url) =>
    cache.match(url).then((hit) => hit || cache.add(url).catch(() => {}))))));
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
