// Line charts as SVG from the core's series. Numbers are only placed, never formatted into texts
// that the core owns: the axis marks are the series' own x values and plain extremes.

const SVG = 'http://www.w3.org/2000/svg';

export interface Series {
  name: string;
  points: Array<[number | string, number | string]>;
}

function svg<K extends keyof SVGElementTagNameMap>(tag: K, attributes: Record<string, string | number>) {
  const element = document.createElementNS(SVG, tag);
  for (const [name, value] of Object.entries(attributes)) element.setAttribute(name, String(value));
  return element;
}

// "inf" and "nan" arrive as strings: not drawn.
function finite(value: number | string): number | null {
  return typeof value === 'number' && Number.isFinite(value) ? value : null;
}

// The drawn chart of a host: a keystroke moves the lines and the axis marks, seldom changes which
// series there are, so the elements stay and only their attributes and texts are set again.
interface DrawnChart {
  key: string;
  root: SVGSVGElement;
  marks: { yTop: SVGTextElement; yBottom: SVGTextElement; xLeft: SVGTextElement; xRight: SVGTextElement };
  limit: SVGLineElement;
  lines: SVGPathElement[];
  legends: SVGTextElement[];
}
const drawnCharts = new WeakMap<HTMLElement, DrawnChart>();

const width = 640;
const height = 240;
const pad = { left: 44, right: 12, top: 12, bottom: 40 };

function build(host: HTMLElement, key: string, title: string, series: Series[]): DrawnChart {
  const root = svg('svg', { viewBox: `0 0 ${width} ${height}`, role: 'img', class: 'chart-svg' });
  const label = svg('title', {});
  label.textContent = title;
  root.append(label);
  root.append(svg('rect', { x: pad.left, y: pad.top, width: width - pad.left - pad.right,
    height: height - pad.top - pad.bottom, class: 'chart-frame' }));
  const marks = {
    yTop: svg('text', { x: pad.left - 4, y: pad.top + 10, 'text-anchor': 'end', class: 'chart-axis' }),
    yBottom: svg('text', { x: pad.left - 4, y: height - pad.bottom, 'text-anchor': 'end', class: 'chart-axis' }),
    xLeft: svg('text', { x: pad.left, y: height - pad.bottom + 14, class: 'chart-axis' }),
    xRight: svg('text', { x: width - pad.right, y: height - pad.bottom + 14, 'text-anchor': 'end', class: 'chart-axis' }),
  };
  root.append(marks.yTop, marks.yBottom, marks.xLeft, marks.xRight);
  const limit = svg('line', { x1: pad.left, x2: width - pad.right, class: 'chart-limit' });
  root.append(limit);
  const lines: SVGPathElement[] = [];
  const legends: SVGTextElement[] = [];
  series.forEach((_, index) => {
    const path = svg('path', { class: `chart-line chart-line-${index % 6}` });
    const legend = svg('text', { y: height - 6, class: `chart-legend chart-legend-${index % 6}` });
    lines.push(path);
    legends.push(legend);
    root.append(path, legend);
  });
  host.replaceChildren(root);
  return { key, root, marks, limit, lines, legends };
}

function set(element: Element, name: string, value: string) {
  if (element.getAttribute(name) !== value) element.setAttribute(name, value);
}

function setText(element: Element, text: string) {
  if (element.textContent !== text) element.textContent = text;
}

export function drawChart(host: HTMLElement, title: string, series: Series[], limit?: number) {
  const points = series.map((s) =>
    s.points.map(([x, y]) => [finite(x), finite(y)] as const).filter(([x, y]) => x !== null && y !== null) as
      Array<[number, number]>);
  const all = points.flat();
  if (all.length === 0) {
    drawnCharts.delete(host);
    const root = svg('svg', { viewBox: `0 0 ${width} ${height}`, role: 'img', class: 'chart-svg' });
    const label = svg('title', {});
    label.textContent = title;
    const empty = svg('text', { x: width / 2, y: height / 2, 'text-anchor': 'middle', class: 'chart-empty' });
    empty.textContent = 'No values';
    root.append(label, empty);
    host.replaceChildren(root);
    return;
  }
  // The names may change with the set-up (a lens's field is named by its focal length): kept apart.
  const key = JSON.stringify([title, series.length]);
  let drawn = drawnCharts.get(host);
  if (!drawn || drawn.key !== key || !host.contains(drawn.root)) {
    drawn = build(host, key, title, series);
    drawnCharts.set(host, drawn);
  }
  const hasLimit = limit !== undefined && Number.isFinite(limit);
  const xs = all.map(([x]) => x);
  const ys = all.map(([, y]) => y).concat(hasLimit ? [limit] : []);
  const [x0, x1] = [Math.min(...xs), Math.max(...xs)];
  const [y0, y1] = [Math.min(0, ...ys), Math.max(...ys)];
  const sx = (x: number) => pad.left + ((x - x0) / (x1 - x0 || 1)) * (width - pad.left - pad.right);
  const sy = (y: number) => height - pad.bottom - ((y - y0) / (y1 - y0 || 1)) * (height - pad.top - pad.bottom);
  setText(drawn.marks.yTop, String(Number(y1.toPrecision(3))));
  setText(drawn.marks.yBottom, String(Number(y0.toPrecision(3))));
  setText(drawn.marks.xLeft, String(Number(x0.toPrecision(3))));
  setText(drawn.marks.xRight, String(Number(x1.toPrecision(3))));
  set(drawn.limit, 'visibility', hasLimit ? 'visible' : 'hidden');
  if (hasLimit) {
    set(drawn.limit, 'y1', sy(limit).toFixed(1));
    set(drawn.limit, 'y2', sy(limit).toFixed(1));
  }
  let legendX = pad.left;
  points.forEach((line, index) => {
    const path = line.map(([x, y], i) => `${i === 0 ? 'M' : 'L'}${sx(x).toFixed(1)},${sy(y).toFixed(1)}`).join('');
    set(drawn!.lines[index], 'd', path);
    const legend = drawn!.legends[index];
    set(legend, 'visibility', line.length === 0 ? 'hidden' : 'visible');
    if (line.length === 0) return;
    setText(legend, series[index].name);
    set(legend, 'x', String(legendX));
    legendX += 12 + 7 * series[index].name.length;
  });
}
