// Keeps the app's own files, so that the page opens and computes without a network. The build
// fills in the file list and a version that changes whenever a file does.
const VERSION = '@VERSION@';
const FILES = @FILES@;

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(VERSION).then((cache) => cache.addAll(FILES)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((keys) => Promise.all(keys.filter((key) => key !== VERSION).map((key) => caches.delete(key))))
    .then(() => self.clients.claim()));
});

// Cached files first; the page itself whatever its query, since a link's set-up lives there.
self.addEventListener('fetch', (event) => {
  const url = new URL(event.request.url);
  if (event.request.method !== 'GET' || url.origin !== self.location.origin) return;
  const page = url.pathname.endsWith('/') || url.pathname.endsWith('/index.html');
  event.respondWith(caches.open(VERSION).then((cache) =>
    cache.match(page ? './' : event.request, { ignoreSearch: page }).then((hit) => hit || fetch(event.request))));
});
