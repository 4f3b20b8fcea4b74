// The WebAssembly core against the native command, byte for byte: the random calc set-ups that the
// Windows comparison uses, run as plans, and every shipped camera read and planned.
// Usage: node compare-native.mjs CORE_NODE_JS NATIVE_KORVAN_LENS CAMERA_FOLDER [SETUPS]
import { spawnSync } from 'node:child_process';
import { readdirSync, readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import path from 'node:path';

const [coreJs, native, cameraFolder, setupCount = '1000'] = process.argv.slice(2);
const scripts = path.join(path.dirname(new URL(import.meta.url).pathname), '..', '..', 'scripts');
const core = await createRequire(import.meta.url)(path.resolve(coreJs))();
const plan = core.cwrap('korvan_plan', 'string', ['string']);
const cameraJson = (file, bytes) =>
  core.ccall('korvan_camera', 'string', ['string', 'array', 'number'], [file, bytes, bytes.length]);

let compared = 0;
let differing = 0;

function same(label, nativeArgs, wasmText) {
  compared += 1;
  const run = spawnSync(native, nativeArgs, { maxBuffer: 1 << 26 });
  // A refused set-up prints its error as JSON on standard output, as the page receives it.
  const expected = run.stdout;
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

console.log(`compare-native: ${compared} runs (${setups.length} set-ups, ${cameras.length} cameras), ${differing} differ`);
process.exit(differing === 0 && setups.length > 0 ? 0 : 1);
