// The shooting envelope and the side view as SVG, drawn as the planner window draws them, from the
// core's grid and figures. Texts are the core's; only positions are computed here.

const SVG = 'http://www.w3.org/2000/svg';
type Json = any; // eslint-disable-line @typescript-eslint/no-explicit-any

function svg<K extends keyof SVGElementTagNameMap>(tag: K, attributes: Record<string, string | number>, text?: string) {
  const element = document.createElementNS(SVG, tag);
  for (const [name, value] of Object.entries(attributes)) element.setAttribute(name, String(value));
  if (text !== undefined) element.textContent = text;
  return element;
}

function frame(width: number, height: number, title: string) {
  const root = svg('svg', { viewBox: `0 0 ${width} ${height}`, role: 'img', class: 'chart-svg' });
  root.append(svg('title', {}, title));
  return root;
}

function empty(host: HTMLElement, title: string, why: string) {
  const root = frame(640, 120, title);
  root.append(svg('text', { x: 320, y: 64, 'text-anchor': 'middle', class: 'chart-empty' }, why));
  host.replaceChildren(root);
}

// Shades that stay apart for colour-blind eyes and in grey print, as in the planner window.
const kShades = { both: 'shade-both', sharpOnly: 'shade-sharp', brightOnly: 'shade-bright', neither: 'shade-neither' };

// The drawn envelope of a host: a keystroke changes the shades and the marks, seldom the grid, so
// the cells stay and only what changed is set again.
interface DrawnEnvelope {
  key: string;
  cells: SVGRectElement[][];
  dot: SVGCircleElement;
  outline: SVGRectElement;
  cellW: number;
  cellH: number;
  x: (n: number) => number;
  y: (i: number) => number;
}
const drawnEnvelopes = new WeakMap<HTMLElement, DrawnEnvelope>();

function buildEnvelope(host: HTMLElement, key: string, shutters: number[], fTexts: string[], withLight: boolean,
  title: string): DrawnEnvelope {
  const width = 640;
  const height = 300;
  const left = 44;
  const top = 20;
  const right = 8;
  const bottom = 80;
  const cellW = (width - left - right) / shutters.length;
  const cellH = (height - top - bottom) / fTexts.length;
  // f-numbers go up: the smallest at the bottom.
  const x = (n: number) => left + cellW * n;
  const y = (i: number) => height - bottom - cellH * (i + 1);
  const root = frame(width, height, title);
  const cells = shutters.map((shutter, n) => {
    const column = fTexts.map((_, i) => {
      const cell = svg('rect', { x: x(n), y: y(i), width: cellW, height: cellH, class: 'envelope-cell' });
      root.append(cell);
      return cell;
    });
    if (n === 0 || (shutter % 2 === 0) || cellW > 24) {
      root.append(svg('text', { x: x(n) + cellW / 2, y: height - bottom + 14, 'text-anchor': 'middle', class: 'chart-axis' },
        String(shutter)));
    }
    return column;
  });
  fTexts.forEach((text, i) => {
    root.append(svg('text', { x: left - 4, y: y(i) + cellH / 2 + 4, 'text-anchor': 'end', class: 'chart-axis' }, text));
  });
  const dot = svg('circle', { r: Math.min(cellW, cellH) * 0.2, class: 'envelope-recommended' });
  const outline = svg('rect', { width: cellW - 3, height: cellH - 3, class: 'envelope-in-force' });
  root.append(dot, outline);
  root.append(svg('text', { x: left + (width - left - right) / 2, y: height - bottom + 30, 'text-anchor': 'middle',
    class: 'chart-axis' }, 'shutter multiple (x), longer exposure to the right'));
  root.append(svg('text', { x: left - 4, y: top - 6, 'text-anchor': 'end', class: 'chart-axis' }, 'f/#'));
  const legend: Array<[string, string]> = withLight
    ? [[kShades.both, 'sharp and bright'], [kShades.sharpOnly, 'sharp, too dark'], [kShades.brightOnly, 'bright, blurred'],
      [kShades.neither, 'neither']]
    : [[kShades.both, 'sharp'], [kShades.neither, 'not sharp (no light figures)']];
  let legendX = left;
  let legendY = height - bottom + 46;
  const place = (textWidth: number) => {
    if (legendX + textWidth > width - right && legendX > left) {
      legendX = left;
      legendY += 16;
    }
  };
  for (const [shade, text] of legend) {
    const itemWidth = 18 + 6.2 * text.length;
    place(itemWidth);
    root.append(svg('rect', { x: legendX, y: legendY - 10, width: 11, height: 11, class: shade }));
    root.append(svg('text', { x: legendX + 15, y: legendY, class: 'chart-legend' }, text));
    legendX += itemWidth;
  }
  for (const text of ['outlined: in force', 'dot: recommended']) {
    const itemWidth = 12 + 6.2 * text.length;
    place(itemWidth);
    root.append(svg('text', { x: legendX, y: legendY, class: 'chart-legend' }, text));
    legendX += itemWidth;
  }
  host.replaceChildren(root);
  return { key, cells, dot, outline, cellW, cellH, x, y };
}

function setAttributes(element: Element, attributes: Record<string, string | number>) {
  for (const [name, value] of Object.entries(attributes)) {
    if (element.getAttribute(name) !== String(value)) element.setAttribute(name, String(value));
  }
}

// `envelope` is the plan's envelope (its grid: rows by shutter multiple, f-numbers within);
// `extras` the core's f-number texts and the cells in force and recommended.
export function drawEnvelope(host: HTMLElement, envelope: Json, extras: Json) {
  const title = 'Shooting envelope';
  const grid = envelope?.grid ?? {};
  const shutters: number[] = grid.shutterMultiples ?? [];
  const fTexts: string[] = extras?.fNumberTexts ?? [];
  if (shutters.length === 0 || fTexts.length === 0) {
    drawnEnvelopes.delete(host);
    empty(host, title, String(envelope?.reason ?? envelope?.text ?? 'n/a'));
    return;
  }
  const withLight = envelope.withLight === true;
  const key = JSON.stringify([shutters, fTexts, withLight]);
  let drawn = drawnEnvelopes.get(host);
  if (!drawn || drawn.key !== key || !host.contains(drawn.dot)) {
    drawn = buildEnvelope(host, key, shutters, fTexts, withLight, title);
    drawnEnvelopes.set(host, drawn);
  }
  const shadeOf = (n: number, i: number) => {
    const sharp = grid.sharp?.[n]?.[i] === true;
    const bright = grid.bright?.[n]?.[i] === true;
    if (!withLight) return sharp ? kShades.both : kShades.neither;
    if (sharp && bright) return kShades.both;
    if (sharp) return kShades.sharpOnly;
    return bright ? kShades.brightOnly : kShades.neither;
  };
  drawn.cells.forEach((column, n) => column.forEach((cell, i) => setAttributes(cell, { class: `envelope-cell ${shadeOf(n, i)}` })));
  const { cellW, cellH, x, y } = drawn;
  const recommended = extras.recommended;
  setAttributes(drawn.dot, recommended
    ? { cx: x(recommended.shutterIndex) + cellW / 2, cy: y(recommended.fNumberIndex) + cellH / 2, visibility: 'visible' }
    : { visibility: 'hidden' });
  const inForce = extras.inForce;
  setAttributes(drawn.outline, inForce
    ? { x: x(inForce.shutterIndex) + 1.5, y: y(inForce.fNumberIndex) + 1.5, visibility: 'visible' }
    : { visibility: 'hidden' });
}

function finite(value: unknown): number | null {
  return typeof value === 'number' && Number.isFinite(value) ? value : null;
}

// The lens at the left, the field angle opening to the object plane, the depth-of-field band and
// the subject's depth, at one scale along and across the axis so that the angle is true.
export function drawSideView(host: HTMLElement, view: Json) {
  const title = 'Side view of the set-up';
  const distance = finite(view?.distance);
  const fieldWidth = finite(view?.fieldWidth);
  if (!view || view.valid !== true || distance === null || distance <= 0 || fieldWidth === null || fieldWidth <= 0) {
    empty(host, title, String(view?.emptyText ?? ''));
    return;
  }
  const far = finite(view.farFocus);
  const open = far === null || far <= 0;
  const nearValue = finite(view.nearFocus);
  const near = nearValue !== null && nearValue > 0 ? nearValue : distance;
  const reach = open ? Math.max(distance * 1.5, near * 1.2) : Math.max(far, distance) * 1.08;
  const width = 640;
  const height = 230;
  const line = 16;
  const lensWidth = line * 2.5;
  const plot = { left: lensWidth + line * 0.5 + 4, top: line * 1.6 + 4, width: width - lensWidth - line * 2 - 8,
    height: height - line * 4.4 - 8 };
  const scale = Math.min(plot.width / reach, plot.height / fieldWidth);
  const axisY = plot.top + plot.height / 2;
  const X = (metres: number) => plot.left + metres * scale;
  const half = (fieldWidth / 2) * scale;
  const root = frame(width, height, title);
  const bandLeft = X(near);
  const bandRight = open ? plot.left + plot.width + line * 0.5 : X(far);
  root.append(svg('rect', { x: bandLeft, y: axisY - half - line * 0.3, width: Math.max(0, bandRight - bandLeft),
    height: half * 2 + line * 0.6, class: 'side-band' }));
  const depth = finite(view.subjectDepth);
  if (depth !== null && depth > 0) {
    const from = X(Math.max(0, distance - depth / 2));
    root.append(svg('rect', { x: from, y: axisY - half, width: X(distance + depth / 2) - from, height: half * 2,
      class: 'side-subject' }));
  }
  const lensX = plot.left;
  root.append(svg('rect', { x: lensX - lensWidth - line * 0.35, y: axisY - line * 1.2, width: lensWidth - line * 0.2,
    height: line * 2.4, class: 'side-body' }));
  root.append(svg('ellipse', { cx: lensX, cy: axisY, rx: line * 0.35, ry: line * 1.1, class: 'side-lens' }));
  const objectX = X(distance);
  root.append(svg('path', { d: `M${lensX},${axisY}L${objectX},${axisY - half}L${objectX},${axisY + half}Z`, class: 'side-cone' }));
  root.append(svg('line', { x1: lensX, y1: axisY, x2: plot.left + plot.width, y2: axisY, class: 'side-axis' }));
  root.append(svg('line', { x1: objectX, y1: axisY - half, x2: objectX, y2: axisY + half, class: 'side-object' }));
  const dimensionY = height - 4 - line * 1.9;
  root.append(svg('line', { x1: lensX, y1: dimensionY, x2: objectX, y2: dimensionY, class: 'side-dimension',
    'marker-start': 'url(#side-arrow)', 'marker-end': 'url(#side-arrow)' }));
  const defs = svg('defs', {});
  const marker = svg('marker', { id: 'side-arrow', viewBox: '0 0 10 10', refX: 10, refY: 5, markerWidth: 7, markerHeight: 7,
    orient: 'auto-start-reverse' });
  marker.append(svg('path', { d: 'M0,0L10,5L0,10Z', class: 'side-arrow-head' }));
  defs.append(marker);
  root.prepend(defs);
  root.append(svg('text', { x: Math.min(Math.max((lensX + objectX) / 2, 150), width - 150), y: dimensionY + line,
    'text-anchor': 'middle', class: 'side-label' }, `object distance ${view.distanceText}`));
  const fieldX = objectX + line * 0.8;
  root.append(svg('line', { x1: fieldX, y1: axisY - half, x2: fieldX, y2: axisY + half, class: 'side-dimension',
    'marker-start': 'url(#side-arrow)', 'marker-end': 'url(#side-arrow)' }));
  const fieldLabelX = Math.min(fieldX + line * 0.3, width - 120);
  root.append(svg('text', { x: fieldLabelX, y: axisY - line * 0.5, class: 'side-label side-halo' }, 'field width'));
  root.append(svg('text', { x: fieldLabelX, y: axisY + line * 0.6, class: 'side-label side-halo' }, String(view.fieldWidthText)));
  root.append(svg('text', { x: lensX + line * 0.8, y: axisY - line * 0.5, class: 'side-label side-halo' },
    `field angle ${view.angleText}`));
  root.append(svg('text', { x: lensX - lensWidth - line * 0.35, y: axisY + line * 2.2, class: 'side-label' }, 'lens'));
  const band = `depth of field ${view.nearText} ... ${view.farText}`;
  root.append(svg('text', { x: Math.min(Math.max(bandLeft, 4), width - 7 * band.length), y: line, class: 'side-label' }, band));
  host.replaceChildren(root);
}
