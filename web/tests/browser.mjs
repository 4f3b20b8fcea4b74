// The page in headless Chromium: a link's set-up, typing, opening a camera file, hostile texts,
// a reload with the network off, and no console errors anywhere. Expected texts come from the
// native command for the same set-up.
// Usage: node browser.mjs BUILD_WEB NATIVE_KORVAN_LENS
import { spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { launch, ready, serve } from './serve.mjs';

const [root, native] = process.argv.slice(2);
const server = await serve(root);
const browser = await launch();
const context = await browser.newContext();
const problems = [];
let passed = 0;

function nativePlan(options) {
  const args = ['plan', ...Object.entries(options).map(([k, v]) => `--${k}=${v}`), '--json'];
  return JSON.parse(spawnSync(native, args, { encoding: 'utf8' }).stdout);
}

function nativeSetupPlan(file) {
  const run = spawnSync(native, ['plan', '--setup', file, '--json'], { encoding: 'utf8' });
  return { status: run.status, plan: JSON.parse(run.stdout), notes: run.stderr };
}

async function check(name, body) {
  try {
    await body();
    passed += 1;
  } catch (error) {
    problems.push(`${name}: ${error.message}`);
  }
}

function expectEqual(actual, expected, what) {
  if (actual !== expected) throw new Error(`${what}: ${JSON.stringify(actual)}, expected ${JSON.stringify(expected)}`);
}

async function open(query) {
  const page = await context.newPage();
  page.on('console', (m) => { if (m.type() === 'error' || m.type() === 'warning') problems.push(`console: ${m.text()}`); });
  page.on('pageerror', (e) => problems.push(`page error: ${e.message}`));
  await page.goto(server.url + query);
  await ready(page);
  return page;
}

const text = (page, id) => page.locator(`#${id}`).textContent();
const linkOptions = { distance: '2', 'field-width': '0.5', 'f-number': '2.8', shutter: '3', velocity: '1' };
const page = await open('?' + new URLSearchParams(linkOptions));

await check('a link reproduces its set-up', async () => {
  expectEqual(await text(page, 'r-focal-length'), '13.73', 'focal length');
  expectEqual(await text(page, 'r-pixel-blur'), '5.3', 'pixel blur');
  expectEqual(await page.locator('#in-f-number').inputValue(), '2.8', 'f-number box');
});

await check('typing updates every result as the command computes it', async () => {
  await page.locator('#in-distance').fill('');
  await page.locator('#in-distance').pressSequentially('3.5');
  await page.locator('#in-unit').selectOption('mm');
  const expected = nativePlan({ ...linkOptions, distance: '3.5', unit: 'mm' });
  for (const [id, key] of [['r-focal-length', 'focalLength'], ['r-depth-of-field', 'depthOfField'],
    ['r-pixel-blur', 'pixelBlur'], ['r-field-angle', 'fieldAngle'], ['r-format', 'format']]) {
    expectEqual(await text(page, id), expected.results[key], id);
  }
  expectEqual(await text(page, 'p-total'), expected.budget.total.text, 'total blur');
  if ((await page.locator('#chart-blur svg path').count()) === 0) throw new Error('no blur chart lines');
  const modes = await page.locator('#modes tbody tr').evaluateAll(
    (rows) => rows.map((row) => Array.from(row.cells, (cell) => cell.textContent)));
  expectEqual(modes.length, expected.modes.rows.length, 'mode rows');
  expectEqual(modes.at(-1)[3], expected.modes.rows.at(-1).fieldPerPixel.text, 'field per pixel of the last mode');
  expectEqual(await page.locator('#modes th').nth(2).textContent(), 'Field Width (mm)', 'mode table heading');
});

await check('Copy Link carries the set-up', async () => {
  await page.locator('#copy-link').click();
  const url = new URL(page.url());
  expectEqual(url.searchParams.get('distance'), '3.5', 'distance in the link');
  expectEqual(url.searchParams.get('unit'), 'mm', 'unit in the link');
  const again = await open(url.search);
  expectEqual(await text(again, 'r-focal-length'), await text(page, 'r-focal-length'), 'focal length from the link');
  await again.close();
});

const hostile = '<img src=x onerror="window.__injected=1">';
const folder = mkdtempSync(path.join(os.tmpdir(), 'korvan-web-'));
const cameraFile = path.join(folder, 'hostile.cam');
writeFileSync(cameraFile, `${hostile}\n7.4,7.4\n1000,640,480\n500,1280,1024\n`);

await check('a .cam file opens, read by the core, its name shown as text', async () => {
  await page.locator('#open-file').setInputFiles(cameraFile);
  await page.waitForFunction(() => document.getElementById('r-camera')?.textContent?.includes('<img'));
  expectEqual(await page.locator('#in-camera option:checked').textContent(), hostile, 'camera list entry');
  expectEqual(await page.locator('#in-frame-rate option').count(), 2, 'frame rates offered');
  expectEqual(await page.locator('img').count(), 0, 'img elements');
  expectEqual(await page.evaluate(() => window.__injected), undefined, 'injected script');
});

await check('hostile texts in every option stay text', async () => {
  const names = await page.locator('#setup [name]').evaluateAll((els) => els.map((e) => e.getAttribute('name')));
  const query = new URLSearchParams(names.map((name) => [name, hostile]));
  const bad = await open('?' + query);
  expectEqual(await bad.locator('img').count(), 0, 'img elements');
  expectEqual(await bad.evaluate(() => window.__injected), undefined, 'injected script');
  if (!(await text(bad, 'error')).length) throw new Error('no message for a refused set-up');
  await bad.close();
});

await check('the kept cameras and kit survive a reload', async () => {
  await page.locator('#in-lenses').fill('8,16');
  const again = await open('');
  expectEqual(await again.locator('#in-lenses').inputValue(), '8,16', 'kit');
  const names = await again.locator('#in-camera option').allTextContents();
  if (!names.includes(hostile)) throw new Error(`camera list without the opened camera: ${JSON.stringify(names)}`);
  await again.close();
});

await check('light inputs show the command\'s light values and envelope, and Use sets its setting', async () => {
  const options = { ...linkOptions, iso: '800', lux: '2000', mains: '50' };
  const light = await open('?' + new URLSearchParams(linkOptions));
  for (const [name, value] of [['iso', '800'], ['lux', '2000'], ['mains', '50']]) {
    await light.locator(`#in-${name}`).fill(value);
  }
  const expected = nativePlan(options);
  expectEqual(await text(light, 'l-needed'), expected.light.needed.text, 'light needed');
  expectEqual(await text(light, 'l-headroom'), expected.light.headroom.text, 'headroom');
  expectEqual(await text(light, 'flicker'), expected.light.flickerWarning, 'flicker warning');
  expectEqual(await light.locator('#chart-envelope rect.envelope-cell').count(),
    expected.envelope.grid.shutterMultiples.length * expected.envelope.grid.fNumbers.length, 'envelope cells');
  if ((await light.locator('#chart-side path').count()) === 0) throw new Error('no side view');
  await light.locator('#use-recommended').click();
  const shutter = await light.locator('#in-shutter').inputValue();
  const fNumber = await light.locator('#in-f-number').inputValue();
  expectEqual(`${shutter}x at f/${fNumber}`, expected.envelope.recommended.text, 'setting used');
  const used = nativePlan({ ...options, shutter, 'f-number': fNumber });
  expectEqual(await text(light, 'r-shutter'), used.shutter, 'shutter after Use');
  await light.close();
});

await check('a setup with its own camera opens through the setup reader; its download reads natively', async () => {
  const file = path.join(folder, 'embedded.klsetup');
  spawnSync(native, ['setup', 'save', '--camera=cameras/bench.cam', '--distance=2', '--field-width=0.5', '--velocity=1',
    '--iso=800', '--lux=5000', '-o', file], { cwd: path.join(path.dirname(new URL(import.meta.url).pathname), '..', '..') });
  const setup = JSON.parse(readFileSync(file, 'utf8'));
  setup.camera.name = hostile;
  setup.camera.file = '/elsewhere/bench.cam';
  writeFileSync(file, JSON.stringify(setup));
  const expected = nativeSetupPlan(file);
  await page.locator('#open-file').setInputFiles(file);
  await page.waitForFunction(() => document.getElementById('message')?.textContent?.includes('/elsewhere/bench.cam'));
  expectEqual(await text(page, 'r-camera'), hostile, 'camera');
  expectEqual(await text(page, 'r-focal-length'), expected.plan.results.focalLength, 'focal length');
  expectEqual(await text(page, 'l-needed'), expected.plan.light.needed.text, 'light needed');
  const notice = expected.notes.split('\n').find((line) => line.includes('own copy'));
  if (!notice || !(await text(page, 'message')).includes(notice)) throw new Error('no notice of the own copy');
  expectEqual(await page.locator('img').count(), 0, 'img elements');
  const [download] = await Promise.all([page.waitForEvent('download'), page.locator('#save-setup').click()]);
  const saved = path.join(folder, 'downloaded.klsetup');
  await download.saveAs(saved);
  const reread = nativeSetupPlan(saved);
  expectEqual(reread.status, 0, 'native exit status');
  expectEqual(reread.plan.results.focalLength, expected.plan.results.focalLength, 'focal length read back');
  expectEqual(reread.plan.camera, hostile, 'camera read back');
});

await check('a damaged camera file gets the command\'s message', async () => {
  const damaged = path.join(folder, 'damaged.cam');
  writeFileSync(damaged, 'Bench\n7.4;7.4\n500,640,512\n');
  const expected = JSON.parse(spawnSync(native, ['camera', damaged, '--json'], { encoding: 'utf8' }).stdout).error;
  await page.locator('#open-file').setInputFiles(damaged);
  await page.waitForFunction((m) => document.getElementById('message')?.textContent === m, expected);
});

await check('a reload with the network off still computes', async () => {
  await page.evaluate(() => navigator.serviceWorker.ready);
  await page.reload();
  await ready(page);
  const online = await text(page, 'r-focal-length');
  await context.setOffline(true);
  await page.reload();
  await ready(page);
  expectEqual(await text(page, 'r-focal-length'), online, 'focal length offline');
  await context.setOffline(false);
});

await browser.close();
server.close();
for (const problem of problems) console.log(`FAILED ${problem}`);
console.log(`browser: ${passed} passed, ${problems.length} problems`);
process.exit(problems.length === 0 ? 0 : 1);
