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

export function drawChart(host: HTMLElement, title: string, series: Series[], limit?: number) {
  const width = 640;
  const height = 240;
  const pad = { left: 44, right: 12, top: 12, bottom: 40 };
  const points = series.map((s) =>
    s.points.map(([x, y]) => [finite(x), finite(y)] as const).filter(([x, y]) => x !== null && y !== null) as
      Array<[number, number]>);
  const all = points.flat();
  const root = svg('svg', { viewBox: `0 0 ${width} ${height}`, role: 'img', class: 'chart-svg' });
  const label = svg('title', {});
  label.textContent = title;
  root.append(label);
  if (all.length === 0) {
    const empty = svg('text', { x: width / 2, y: height / 2, 'text-anchor': 'middle', class: 'chart-empty' });
    empty.textContent = 'No values';
    root.append(empty);
    host.replaceChildren(root);
    return;
  }
  const xs = all.map(([x]) => x);
  const ys = all.map(([, y]) => y).concat(limit !== undefined && Number.isFinite(limit) ? [limit] : []);
  const [x0, x1] = [Math.min(...xs), Math.max(...xs)];
  const [y0, y1] = [Math.min(0, ...ys), Math.max(...ys)];
  const sx = (x: number) => pad.left + ((x - x0) / (x1 - x0 || 1)) * (width - pad.left - pad.right);
  const sy = (y: number) => height - pad.bottom - ((y - y0) / (y1 - y0 || 1)) * (height - pad.top - pad.bottom);
  root.append(svg('rect', { x: pad.left, y: pad.top, width: width - pad.left - pad.right,
    height: height - pad.top - pad.bottom, class: 'chart-frame' }));
  const yTop = svg('text', { x: pad.left - 4, y: pad.top + 10, 'text-anchor': 'end', class: 'chart-axis' });
  yTop.textContent = String(Number(y1.toPrecision(3)));
  const yBottom = svg('text', { x: pad.left - 4, y: height - pad.bottom, 'text-anchor': 'end', class: 'chart-axis' });
  yBottom.textContent = String(Number(y0.toPrecision(3)));
  const xLeft = svg('text', { x: pad.left, y: height - pad.bottom + 14, class: 'chart-axis' });
  xLeft.textContent = String(Number(x0.toPrecision(3)));
  const xRight = svg('text', { x: width - pad.right, y: height - pad.bottom + 14, 'text-anchor': 'end', class: 'chart-axis' });
  xRight.textContent = String(Number(x1.toPrecision(3)));
  root.append(yTop, yBottom, xLeft, xRight);
  if (limit !== undefined && Number.isFinite(limit)) {
    root.append(svg('line', { x1: pad.left, x2: width - pad.right, y1: sy(limit), y2: sy(limit), class: 'chart-limit' }));
  }
  let legendX = pad.left;
  points.forEach((line, index) => {
    if (line.length === 0) return;
    const path = line.map(([x, y], i) => `${i === 0 ? 'M' : 'L'}${sx(x).toFixed(1)},${sy(y).toFixed(1)}`).join('');
    root.append(svg('path', { d: path, class: `chart-line chart-line-${index % 6}` }));
    const legend = svg('text', { x: legendX, y: height - 6, class: `chart-legend chart-legend-${index % 6}` });
    legend.textContent = series[index].name;
    root.append(legend);
    legendX += 12 + 7 * series[index].name.length;
  });
  host.replaceChildren(root);
}
