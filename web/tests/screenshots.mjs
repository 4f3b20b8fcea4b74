// The README's pictures of the page: a phone (360 x 740) and a desktop (1366 x 768), with the
// set-up of the README's example.
// Usage: node screenshots.mjs BUILD_WEB OUT_FOLDER
import path from 'node:path';
import { launch, ready, serve } from './serve.mjs';

const [root, out] = process.argv.slice(2);
const server = await serve(root);
const browser = await launch();
const query = '?distance=2&field-width=0.5&f-number=2.8&shutter=3&velocity=1&lenses=8,12.5,16,25&depth=0.2&iso=800&lux=5000';
for (const [name, width, height] of [['web-phone', 360, 740], ['web-desktop', 1366, 768]]) {
  const page = await browser.newPage({ viewport: { width, height } });
  await page.goto(server.url + query);
  await ready(page);
  await page.screenshot({ path: path.join(out, `${name}.png`) });
  await page.close();
}
await browser.close();
server.close();
