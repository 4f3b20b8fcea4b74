// The page: reads the set-up from the form (and the link), hands it to the core on every change,
// and writes the core's texts back. It computes and formats no result itself.
import { drawChart, Series } from './chart.js';
import { Core, loadCore } from './core.js';
import { byId, download, fillTable, make, showValues } from './dom.js';
import { drawEnvelope, drawSideView } from './views.js';

type Json = any; // eslint-disable-line @typescript-eslint/no-explicit-any

const form = byId<HTMLFormElement>('setup');
const cameraSelect = byId<HTMLSelectElement>('in-camera');
const rateSelect = byId<HTMLSelectElement>('in-frame-rate');
const resolutionSelect = byId<HTMLSelectElement>('in-resolution');
const message = byId<HTMLParagraphElement>('message');
const errorLine = byId<HTMLParagraphElement>('error');
const kitInput = byId<HTMLInputElement>('in-lenses');
const kMaxFileBytes = 1 << 20;

let core: Core;
// Camera JSON by the path the core knows it under ("" is the built-in generic camera).
const cameras = new Map<string, Json>();
// Cameras that came inside a setup file, whose file is not here: the setup's own "camera" member
// by the path it names, handed to the core with the setup while that camera is chosen.
const setupCameras = new Map<string, Json>();
// The recommended setting of the last plan, for Use.
let recommended: { shutter: string; fNumber: string } | null = null;

function fields(): Array<HTMLInputElement | HTMLSelectElement> {
  return Array.from(form.elements).filter(
    (e): e is HTMLInputElement | HTMLSelectElement => (e instanceof HTMLInputElement || e instanceof HTMLSelectElement) && e.name !== '');
}

function defaultOf(field: HTMLInputElement | HTMLSelectElement): string {
  if (field instanceof HTMLInputElement) return field.defaultValue;
  const chosen = Array.from(field.options).find((o) => o.defaultSelected) ?? field.options[0];
  return chosen ? chosen.value : '';
}

// The set-up's options: every field whose text differs from its default, in the command's names.
function options(): Record<string, string> {
  const result: Record<string, string> = {};
  for (const field of fields()) {
    if (field.value !== defaultOf(field)) result[field.name] = field.value;
  }
  return result;
}

function setup(): Json {
  const result: Json = { setupVersion: 1, options: options() };
  const camera = setupCameras.get(cameraSelect.value);
  if (camera !== undefined) result.camera = camera;
  return result;
}

function say(text: string) {
  message.textContent = text;
}

// A select's entries, keeping the chosen one where it is still offered.
function fillSelect(select: HTMLSelectElement, entries: Array<[string, string]>, wanted?: string) {
  const keep = wanted ?? select.value;
  select.replaceChildren(...entries.map(([value, label]) => {
    const option = make('option', label);
    option.value = value;
    return option;
  }));
  if (entries.some(([value]) => value === keep)) select.value = keep;
  if (select.options.length > 0) select.options[0].defaultSelected = true;
}

function fillCameraLists(rate?: string, resolution?: string) {
  const camera = cameras.get(cameraSelect.value);
  const rates: string[] = camera ? camera.frameRates : [];
  fillSelect(rateSelect, rates.map((r): [string, string] => [r, r]), rate);
  const sizes: string[] = camera ? camera.resolutions[rateSelect.value] ?? [] : [];
  fillSelect(resolutionSelect, sizes.map((r): [string, string] => [r, r]), resolution);
}

function listCamera(path: string, answer: Json, select: boolean) {
  cameras.set(path, answer);
  let option = Array.from(cameraSelect.options).find((o) => o.value === path);
  if (!option) {
    option = make('option', String(answer.name));
    option.value = path;
    cameraSelect.append(option);
  } else {
    option.textContent = String(answer.name);
  }
  if (select) cameraSelect.value = path;
}

function addCamera(path: string, bytes: Uint8Array, select: boolean): string | null {
  const answer = JSON.parse(core.camera(path, bytes));
  if (answer.error !== undefined) return String(answer.error);
  listCamera(path, answer, select);
  return null;
}

function valueText(value: Json): string {
  return value && typeof value === 'object' && 'text' in value ? String(value.text) : String(value ?? '');
}

// Adds a value row to `rows`, with an "n/a" or "none" value's reason beside its text; a value the
// plan does not hold adds nothing.
function valueAdder(rows: Array<[string, string, string]>) {
  return (id: string, label: string, value: Json) => {
    if (value === undefined || value === null) return;
    const reason = typeof value === 'object' && value.reason ? ` (${value.reason})` : '';
    rows.push([id, label, valueText(value) + reason]);
  };
}

function showPlan(plan: Json, charts: Json) {
  const r = plan.results;
  const length = String(r.lengthUnit);
  byId('r-shutter').textContent = String(plan.shutter);
  showValues(byId('calc-results'), [
    ['r-camera', 'Camera', String(plan.camera)],
    ['r-resolution', 'Resolution', String(plan.resolution)],
    ['r-focal-length', 'Focal Length (mm)', r.focalLength],
    ['r-magnification', 'Magnification (x)', r.magnification],
    ['r-distance', `Object Distance (${length})`, r.objectDistance],
    ['r-field-width', `Field Width (${length})`, r.fieldWidth],
    ['r-velocity', `Object Velocity (${r.speedUnit})`, r.objectVelocity],
    ['r-working-f-number', 'Working f/#', r.workingFNumber],
    ['r-depth-of-field', `Depth of Field (${length})`, r.depthOfField],
    ['r-near-focus', `Near Focus (${length})`, r.nearFocus],
    ['r-far-focus', `Far Focus (${length})`, r.farFocus],
    ['r-hyper-focus', `Hyper Focus (${length})`, r.hyperFocus],
    ['r-field-angle', 'Field Angle (deg)', r.fieldAngle],
    ['r-format', 'Format-Centered (mount)', r.format],
    ['r-motion-blur', `Motion Blur (${length})`, r.motionBlur],
    ['r-pixel-blur', 'Pixel Blur (pixels)', r.pixelBlur],
  ]);
  const a = plan.attachments;
  showValues(byId('attachment-results'), [
    ['a-focal-length', 'Focal Length (mm)', a.focalLength],
    ['a-magnification', 'Magnification (x)', a.magnification],
    ['a-working-f-number', 'Working f/#', a.workingFNumber],
    ['a-field-width', `Field Width (${a.unit})`, a.fieldWidth],
    ['a-focus-shift', `Toward Lens (${a.unit})`, a.focusShift],
  ]);
  const b = plan.budget ?? {};
  const best = plan.bestFNumber ?? {};
  const windowText = plan.apertureWindow ?? {};
  const shutter = plan.shutterLimit ?? {};
  const rows: Array<[string, string, string]> = [];
  const add = valueAdder(rows);
  add('p-motion', 'Motion Blur (pixels)', b.motion);
  add('p-defocus', 'Defocus Blur (pixels)', b.defocus);
  add('p-diffraction', 'Diffraction Blur (pixels)', b.diffraction);
  add('p-total', 'Total Blur (pixels)', b.total);
  add('p-largest', 'Largest Part', b.largest);
  add('p-optimum', 'Best f-Number', best.optimum);
  add('p-best-entry', 'Best Lens f/# Entry', best.bestEntry);
  add('p-window', 'Aperture Window', windowText);
  add('p-shutter-limit', 'Shutter Limit', shutter.multiple);
  showValues(byId('planner-values'), rows);

  const light = plan.light ?? {};
  const lightRows: Array<[string, string, string]> = [];
  const addLight = valueAdder(lightRows);
  addLight('l-exposure', 'Exposure (usec)', light.exposureSeconds);
  addLight('l-needed', 'Light Needed (lux)', light.needed);
  addLight('l-available', 'Light Available (lux)', light.available);
  addLight('l-headroom', 'Headroom (stops)', light.headroom);
  addLight('l-lamps-needed', 'Lamps Needed', light.lampsNeeded);
  addLight('l-farthest', `Farthest Lamp (${length})`, light.farthestLampDistance);
  addLight('l-frames-per-cycle', 'Frames per Light Cycle', light.framesPerLightCycle);
  showValues(byId('light-values'), lightRows);
  byId('flicker').textContent = light.flicker ? String(light.flickerWarning ?? '') : '';

  const envelope = plan.envelope ?? {};
  const envelopeRows: Array<[string, string, string]> = [];
  const addEnvelope = valueAdder(envelopeRows);
  addEnvelope('e-recommended', 'Recommended', envelope.recommended ? envelope.recommended.text : envelope);
  if (envelope.recommended) {
    addEnvelope('e-total', 'Total There (pixels)', envelope.total);
    if (envelope.withLight) addEnvelope('e-headroom', 'Headroom There (stops)', envelope.headroom);
  }
  if (!envelope.withLight && envelope.lightReason) addEnvelope('e-light-reason', 'Sharpness Alone', envelope.lightReason);
  for (const [id, label, setting] of [['e-nearest-sharp', 'Nearest Sharp', envelope.nearestSharp],
    ['e-nearest-bright', 'Nearest Bright', envelope.nearestBright]] as const) {
    if (setting) addEnvelope(id, label, `${setting.text}: ${setting.verdict}`);
  }
  showValues(byId('envelope-values'), envelopeRows);
  recommended = charts.envelope?.recommended ?? null;
  byId<HTMLButtonElement>('use-recommended').disabled = recommended === null;
  drawEnvelope(byId('chart-envelope'), envelope, charts.envelope);
  drawSideView(byId('chart-side'), charts.sideView);

  // The tables as the command prints them: its headings and cell texts, its reasons below.
  const table = (id: string, cells: Json) => {
    fillTable(byId<HTMLTableElement>(id), cells?.headings ?? [], cells?.rows ?? []);
    byId(`${id}-reasons`).replaceChildren(...(cells?.reasons ?? []).map((r: Json) => make('li', String(r))));
  };
  table('modes', charts.modeTable);
  table('kit', plan.lensKit?.rows?.length ? charts.kitTable : null);
  byId('kit-notes').replaceChildren(...(plan.lensKit?.notes ?? []).map((n: Json) => make('li', String(n))));

  const series = (s: Json): Series => ({ name: String(s?.name ?? ''), points: s?.points ?? [] });
  drawChart(byId('chart-blur'), 'Blur against f-number',
    [charts.motion, charts.defocus, charts.diffraction, charts.total].map(series));
  drawChart(byId('chart-focus'), 'Near and far focus against f-number', [charts.nearFocus, charts.farFocus].map(series));
  drawChart(byId('chart-shutter'), 'Pixel blur against shutter multiple', [series(charts.pixelBlurByShutter)],
    typeof charts.blurLimit === 'number' ? charts.blurLimit : undefined);
  drawChart(byId('chart-field'), 'Field width against distance', (charts.fieldByDistance ?? []).map(series));
}

function recompute() {
  const answer = core.plan(setup());
  const plan = JSON.parse(answer.text);
  if (plan.error !== undefined) {
    errorLine.textContent = String(plan.error);
    return;
  }
  errorLine.textContent = '';
  showPlan(plan, JSON.parse(answer.charts));
}

function link(): string {
  const url = new URL(location.href);
  url.search = new URLSearchParams(options()).toString();
  url.hash = '';
  return url.toString();
}

// The link's query into the form; values that no list offers are kept for the core to refuse.
function applyQuery(query: URLSearchParams) {
  const camera = query.get('camera');
  if (camera !== null) {
    if (!Array.from(cameraSelect.options).some((o) => o.value === camera)) {
      const option = make('option', camera);
      option.value = camera;
      cameraSelect.append(option);
    }
    cameraSelect.value = camera;
  }
  fillCameraLists(query.get('frame-rate') ?? undefined, query.get('resolution') ?? undefined);
  for (const field of fields()) {
    const value = query.get(field.name);
    if (value === null || field === cameraSelect || field === rateSelect || field === resolutionSelect) continue;
    if (field instanceof HTMLSelectElement && !Array.from(field.options).some((o) => o.value === value)) {
      const option = make('option', value);
      option.value = value;
      field.append(option);
    }
    field.value = value;
  }
  for (const [name, value] of [['frame-rate', rateSelect], ['resolution', resolutionSelect]] as const) {
    const wanted = query.get(name);
    if (wanted !== null && value.value !== wanted) {
      const option = make('option', wanted);
      option.value = wanted;
      value.append(option);
      value.value = wanted;
    }
  }
}

async function openFile(file: File) {
  if (file.size > kMaxFileBytes) {
    say(`${file.name} is too large to be a camera or setup file.`);
    return;
  }
  const bytes = new Uint8Array(await file.arrayBuffer());
  if (/\.cam$/i.test(file.name)) {
    const path = `opened/${file.name}`;
    const error = addCamera(path, bytes, true);
    if (error !== null) {
      say(error);
      return;
    }
    setupCameras.delete(path);
    keepCameraFile(path, bytes);
    fillCameraLists('', '');
    say(`Opened ${file.name}`);
  } else {
    const answer = JSON.parse(core.openSetup(`opened/${file.name}`, bytes));
    if (answer.error !== undefined) {
      say(String(answer.error));
      return;
    }
    openSetup(answer);
    const notes = [answer.notice, ...(answer.notes ?? [])].filter((n: Json) => typeof n === 'string' && n !== '');
    say(notes.length > 0 ? notes.join(' ') : `Opened ${file.name}`);
  }
  recompute();
}

// A setup as the core's reader gave it: its options into the form, its camera chosen (the file
// when it is here and the same camera, else the setup's own copy, listed and kept).
function openSetup(answer: Json) {
  const opened = answer.setup;
  const query = new URLSearchParams();
  for (const [name, value] of Object.entries(opened.options ?? {})) query.set(name, String(value));
  if (answer.cameraFile !== null && answer.cameraFile !== undefined) {
    query.set('camera', String(answer.cameraFile));
  } else if (answer.camera !== null && answer.camera !== undefined) {
    const path = String(opened.camera.file || opened.options?.camera || opened.camera.name);
    setupCameras.set(path, opened.camera);
    listCamera(path, answer.camera, false);
    keepSetupCamera(path, opened.camera, answer.camera);
    query.set('camera', path);
  } else {
    query.delete('camera');
  }
  for (const field of fields()) field.value = defaultOf(field);
  applyQuery(query);
}

// The user's cameras and kit stay in this browser's storage and nowhere else.
const kStoredCameras = 'korvan-lens.cameras';
const kStoredSetupCameras = 'korvan-lens.setup-cameras';
const kStoredKit = 'korvan-lens.kit';

function stored(key: string): Json {
  try {
    return JSON.parse(localStorage.getItem(key) ?? 'null');
  } catch {
    return null;
  }
}

function store(key: string, value: Json) {
  try {
    localStorage.setItem(key, JSON.stringify(value));
  } catch {
    say('This browser does not keep the cameras and kit (its storage is off or full).');
  }
}

function keepCameraFile(path: string, bytes: Uint8Array) {
  const kept: Array<[string, string]> = (stored(kStoredCameras) ?? []).filter(([p]: [string, string]) => p !== path);
  let binary = '';
  for (const byte of bytes) binary += String.fromCharCode(byte);
  kept.push([path, btoa(binary)]);
  store(kStoredCameras, kept);
}

function keepSetupCamera(path: string, member: Json, listed: Json) {
  const kept: Array<[string, Json, Json]> = (stored(kStoredSetupCameras) ?? []).filter(([p]: [string]) => p !== path);
  kept.push([path, member, listed]);
  store(kStoredSetupCameras, kept);
}

function restoreKept() {
  for (const [path, text] of stored(kStoredCameras) ?? []) {
    try {
      addCamera(String(path), Uint8Array.from(atob(String(text)), (c) => c.charCodeAt(0)), false);
    } catch {
      // A damaged entry is left out; the others still open.
    }
  }
  for (const [path, member, listed] of stored(kStoredSetupCameras) ?? []) {
    if (typeof path !== 'string' || !member || !listed) continue;
    setupCameras.set(path, member);
    listCamera(path, listed, false);
  }
}

function wire() {
  form.addEventListener('input', (event) => {
    const target = event.target;
    if (target === cameraSelect) fillCameraLists('', '');
    if (target === rateSelect) fillCameraLists(undefined, '');
    if (target === kitInput) store(kStoredKit, kitInput.value);
    recompute();
  });
  form.addEventListener('submit', (event) => event.preventDefault());
  byId('copy-link').addEventListener('click', async () => {
    const text = link();
    history.replaceState(null, '', text);
    try {
      await navigator.clipboard.writeText(text);
      say('Link copied');
    } catch {
      say('The link is in the address bar');
    }
  });
  byId<HTMLInputElement>('open-file').addEventListener('change', (event) => {
    const input = event.target as HTMLInputElement;
    if (input.files && input.files[0]) void openFile(input.files[0]);
    input.value = '';
  });
  byId('save-setup').addEventListener('click', () => {
    const text = core.saveSetup(setup());
    if (text.startsWith('{\n  "error"')) {
      say(String(JSON.parse(text).error));
      return;
    }
    download('setup.klsetup', 'application/json', text);
  });
  byId('use-recommended').addEventListener('click', () => {
    if (!recommended) return;
    byId<HTMLInputElement>('in-shutter').value = recommended.shutter;
    byId<HTMLInputElement>('in-f-number').value = recommended.fNumber;
    recompute();
  });
  const sheet = (format: string, type: string) => () => {
    const text = core.sheet(setup(), format);
    if (text.startsWith('{\n  "error"')) {
      say(String(JSON.parse(text).error));
      return;
    }
    download(`sheet.${format}`, type, text);
  };
  byId('save-csv').addEventListener('click', sheet('csv', 'text/csv'));
  byId('save-json').addEventListener('click', sheet('json', 'application/json'));
  byId('print').addEventListener('click', () => window.print());
  const hint = byId('drop-hint');
  document.addEventListener('dragover', (event) => {
    event.preventDefault();
    hint.hidden = false;
  });
  document.addEventListener('dragleave', () => { hint.hidden = true; });
  document.addEventListener('drop', (event) => {
    event.preventDefault();
    hint.hidden = true;
    const file = event.dataTransfer?.files[0];
    if (file) void openFile(file);
  });
}

async function start() {
  // The shipped cameras arrive while the core compiles.
  const shippedFiles = fetch('cameras/index.json').then((r) => r.json()).then((names: string[]) =>
    Promise.all(names.map(async (name) => [name, await (await fetch(`cameras/${name}`)).arrayBuffer()] as const)));
  core = await loadCore();
  const generic = make('option', 'No Camera Selected');
  generic.value = '';
  generic.defaultSelected = true;
  cameraSelect.replaceChildren(generic);
  for (const [name, bytes] of await shippedFiles) addCamera(`cameras/${name}`, new Uint8Array(bytes), false);
  // The generic camera's lists come from a plan: its one mode.
  cameras.set('', genericCamera());
  restoreKept();
  const query = new URLSearchParams(location.search);
  const kit = stored(kStoredKit);
  if (!query.has('lenses') && typeof kit === 'string') query.set('lenses', kit);
  applyQuery(query);
  wire();
  recompute();
  document.body.dataset.readyMs = String(performance.now());
  document.body.dataset.ready = 'true';
  if ('serviceWorker' in navigator && location.protocol !== 'file:') {
    navigator.serviceWorker.register('sw.js').catch(() => say('Offline use is not available here.'));
  }
}

function genericCamera(): Json {
  const plan = JSON.parse(core.plan({ setupVersion: 1 }).text);
  return { name: plan.camera, frameRates: [plan.frameRate], resolutions: { [plan.frameRate]: [plan.resolution] } };
}

start().catch((error) => {
  errorLine.textContent = `The calculator could not start: ${error instanceof Error ? error.message : String(error)}`;
});
