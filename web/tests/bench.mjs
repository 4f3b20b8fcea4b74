// The page's speed and size: keystroke to updated results and charts, the app's files compressed,
// and first load to usable from a local server. Prints figures; judged by the reader.
// Usage: node bench.mjs BUILD_WEB
import { readdirSync, readFileSync, statSync } from 'node:fs';
import path from 'node:path';
import { gzipSync } from 'node:zlib';
import { launch, ready, serve } from './serve.mjs';

const root = process.argv[2];
const files = (folder) => readdirSync(folder).flatMap((name) => {
  const file = path.join(folder, name);
  return statSync(file).isDirectory() ? files(file) : [file];
});
const compressed = files(root).reduce((sum, file) => sum + gzipSync(readFileSync(file), { level: 9 }).length, 0);
const wasm = gzipSync(readFileSync(path.join(root, 'korvan-core-web.wasm')), { level: 9 }).length;

const server = await serve(root);
const browser = await launch();
const query = '?distance=2&field-width=0.5&f-number=2.8&shutter=3&velocity=1&lenses=8,12.5,16,25&depth=0.2';
const loads = [];
for (let i = 0; i < 5; i += 1) {
  const context = await browser.newContext();  // a cold cache each time
  const page = await context.newPage();
  await page.goto(server.url + query);
  await ready(page);
  loads.push(Number(await page.locator('body').getAttribute('data-ready-ms')));
  await context.close();
}

const context = await browser.newContext();
const page = await context.newPage();
await page.goto(server.url + query);
await ready(page);
// One keystroke: the input event (the page recomputes and rewrites results and charts in its
// handler), then the frame that shows them.
const keystrokes = await page.evaluate(async () => {
  const box = document.getElementById('in-distance');
  const handler = [];
  const frame = [];
  for (let i = 0; i < 200; i += 1) {
    box.value = String(1 + (i % 50) / 10);
    const start = performance.now();
    box.dispatchEvent(new InputEvent('input', { bubbles: true }));
    handler.push(performance.now() - start);
    await new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve, 0)));
    frame.push(performance.now() - start);
  }
  return { handler, frame };
});
await browser.close();
server.close();

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const p95 = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length * 0.95)];
const ms = (value) => `${value.toFixed(2)} ms`;
console.log(`keystroke to updated results (handler): median ${ms(median(keystrokes.handler))}, 95th ${ms(p95(keystrokes.handler))}`);
console.log(`keystroke to the next frame shown:      median ${ms(median(keystrokes.frame))}, 95th ${ms(p95(keystrokes.frame))}`);
console.log(`app files compressed (gzip -9): ${(compressed / 1024).toFixed(0)} KiB (core .wasm ${(wasm / 1024).toFixed(0)} KiB)`);
console.log(`first load to usable (cold cache): median ${ms(median(loads))}, slowest ${ms(Math.max(...loads))}`);
