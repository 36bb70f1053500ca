// Keeps one version of the app for use offline. Every file of the version is fetched into a
// cache named after it before the version is installed. A new version waits until no page of
// the old one is open, then drops the old cache whole: a page never mixes two versions.
const VERSION = '@KELVORA_SITE_VERSION@';
const FILES = [@KELVORA_SITE_FILES@];
const CACHE = 'kelvora-' + VERSION;

self.addEventListener('install', (event) => {
  event.waitUntil(
    caches.open(CACHE)
      .then((cache) => cache.addAll(FILES.map((f) => new Request(f, { cache: 'no-cache' })))));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(
    caches.keys()
      .then((keys) => Promise.all(keys.filter((k) => k !== CACHE).map((k) => caches.delete(k)))));
});

// The app's own files from this version's cache; anything else from the network.
self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  event.respondWith(
    caches.open(CACHE)
      .then((cache) => cache.match(event.request, { ignoreSearch: true }))
      .then((hit) => hit || fetch(event.request)));
});
