// The WebAssembly core against the native command, byte for byte: the random calc set-ups that the
// Windows comparison uses, run as plans, and every shipped camera read and planned.
// Usage: node compare-native.mjs CORE_NODE_JS NATIVE_KORVAN_LENS CAMERA_FOLDER [SETUPS]
import { spawnSync } from 'node:child_process';
import { existsSync, mkdirSync, mkdtempSync, readdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';

const [coreJs, native, cameraFolder, setupCount = '1000'] = process.argv.slice(2);
const scripts = path.join(path.dirname(new URL(import.meta.url).pathname), '..', '..', 'scripts');
const core = await createRequire(import.meta.url)(path.resolve(coreJs))();
const plan = core.cwrap('korvan_plan', 'string', ['string']);
const saveSetup = core.cwrap('korvan_save_setup', 'string', ['string']);
const cameraJson = (file, bytes) =>
  core.ccall('korvan_camera', 'string', ['string', 'array', 'number'], [file, bytes, bytes.length]);

let compared = 0;
let differing = 0;

function same(label, nativeArgs, wasmText) {
  const run = spawnSync(native, nativeArgs, { maxBuffer: 1 << 26 });
  // A refused set-up prints its error as JSON on standard output, as the page receives it.
  sameBytes(label, nativeArgs, run.stdout, wasmText);
}

function sameBytes(label, nativeArgs, expected, wasmText) {
  compared += 1;
  const actual = Buffer.from(wasmText, 'utf8');
  if (Buffer.compare(expected, actual) === 0) return;
  differing += 1;
  if (differing <= 10) {
    console.log(`differs: ${label}: ${nativeArgs.map((a) => JSON.stringify(a)).join(' ')}`);
    const e = expected.toString().split('\n');
    const a = wasmText.split('\n');
    const line = e.findIndex((text, i) => text !== a[i]);
    console.log(`  line ${line + 1}: native ${JSON.stringify(e[line])}, wasm ${JSON.stringify(a[line])}`);
  }
}

// The shipped cameras under the relative paths the native command is given, so that the plans'
// camera file texts agree too.
const cameras = readdirSync(cameraFolder).filter((name) => name.endsWith('.cam')).sort();
for (const name of cameras) {
  const file = path.join(cameraFolder, name);
  same('camera', ['camera', file, '--json'], cameraJson(file, readFileSync(file)));
  const options = { camera: file, distance: '2', 'field-width': '0.5', velocity: '1' };
  same('camera plan', ['plan', ...Object.entries(options).flatMap(([k, v]) => [`--${k}`, v]), '--json'],
    plan(JSON.stringify({ setupVersion: 1, options })));
}

// Whole setups as the page hands an opened file to the core: each shipped camera embedded under a
// file name that is not there (so the setup's own copy is used) with the light options, read
// natively with --setup; and the file the page downloads, which is what `setup save --setup` writes
// and reads back to the same plan.
const folder = mkdtempSync(path.join(os.tmpdir(), 'korvan-setups-'));
const lightOptions = [
  {},
  { iso: '800', lux: '2000', mains: '50' },
  { iso: '400', 'lamp-lux': '30000', 'lamp-distance': '3', lamps: '2', mains: '60', transmission: '80',
    'meter-constant': '330', unit: 'feet' },
  { iso: 'abc', lux: '-5', lamps: '0', mains: '55' },
];
let setupFiles = 0;
for (const name of cameras) {
  for (const light of lightOptions) {
    const file = path.join(folder, 'opened.klsetup');
    const options = { camera: path.join(cameraFolder, name), distance: '2', 'field-width': '0.5', velocity: '1',
      lenses: '8,12.5,25', ...light };
    spawnSync(native, ['setup', 'save', ...Object.entries(options).map(([k, v]) => `--${k}=${v}`), '-o', file]);
    const setup = JSON.parse(readFileSync(file, 'utf8'));
    setup.camera.file = path.join(folder, 'moved', name);
    writeFileSync(file, JSON.stringify(setup));
    same('setup file', ['plan', '--setup', file, '--json'], plan(JSON.stringify(setup)));
    const saved = path.join(folder, 'saved.klsetup');
    rmSync(saved, { force: true });
    spawnSync(native, ['setup', 'save', '--setup', file, '-o', saved]);
    const download = saveSetup(JSON.stringify(setup));
    sameBytes('downloaded setup', ['setup', 'save', '--setup', file], existsSync(saved) ? readFileSync(saved) : Buffer.alloc(0), download);
    mkdirSync(path.join(folder, 'downloads'), { recursive: true });
    const downloaded = path.join(folder, 'downloads', 'setup.klsetup');
    writeFileSync(downloaded, download);
    same('downloaded setup read back', ['plan', '--setup', downloaded, '--json'], plan(download));
    setupFiles += 1;
  }
}
rmSync(folder, { recursive: true, force: true });

// Each line: the arguments after `calc`, each followed by the unit separator.
const setups = spawnSync('bash', [path.join(scripts, 'calc-setups'), cameraFolder, setupCount], {
  encoding: 'utf8',
  env: { ...process.env },
}).stdout.split('\n').filter((line) => line.length > 0);
for (const line of setups) {
  const args = line.split('\x1f').slice(0, -1).filter((arg) => arg !== '--json');
  const options = {};
  for (let i = 0; i < args.length; i += 2) options[args[i].slice(2)] = args[i + 1];
  same('set-up', ['plan', ...args, '--json'], plan(JSON.stringify({ setupVersion: 1, options })));
}

console.log(`compare-native: ${compared} runs (${setups.length} set-ups, ${cameras.length} cameras, ${setupFiles} setup files), ` +
  `${differing} differ`);
process.exit(differing === 0 && setups.length > 0 ? 0 : 1);
