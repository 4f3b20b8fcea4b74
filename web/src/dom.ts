// Small DOM helpers. Every text from the core, a link or a file goes in as text, never as markup.

export function byId<T extends HTMLElement>(id: string): T {
  const element = document.getElementById(id);
  if (!element) throw new Error(`missing #${id}`);
  return element as T;
}

export function make<K extends keyof HTMLElementTagNameMap>(tag: K, text?: string, className?: string) {
  const element = document.createElement(tag);
  if (text !== undefined) element.textContent = text;
  if (className) element.className = className;
  return element;
}

function setText(element: Element, text: string) {
  if (element.textContent !== text) element.textContent = text;
}

// A list of named values as <dt> labels and <output> results. A keystroke changes texts, seldom
// the rows: the elements in place keep their texts' changes to what changed.
export function showValues(list: HTMLElement, rows: Array<[string, string, string?]>) {
  const children = list.children;
  const same = children.length === rows.length * 2 &&
    rows.every(([id], i) => (children[i * 2 + 1].firstElementChild as HTMLElement | null)?.id === id);
  if (same) {
    rows.forEach(([, label, text], i) => {
      setText(children[i * 2], label);
      setText(children[i * 2 + 1].firstElementChild as Element, text ?? '');
    });
    return;
  }
  const items: HTMLElement[] = [];
  for (const [id, label, text] of rows) {
    const term = make('dt', label);
    const output = make('output');
    output.id = id;
    output.textContent = text ?? '';
    const detail = make('dd');
    detail.append(output);
    items.push(term, detail);
  }
  list.replaceChildren(...items);
}

export function fillTable(table: HTMLTableElement, headings: string[], rows: string[][]) {
  const head = table.tHead;
  const body = table.tBodies[0];
  const same = head !== null && body !== undefined && head.rows[0]?.cells.length === headings.length &&
    body.rows.length === rows.length && rows.every((row, i) => body.rows[i].cells.length === row.length);
  if (same) {
    headings.forEach((heading, i) => setText(head.rows[0].cells[i], heading));
    rows.forEach((row, i) => row.forEach((text, j) => setText(body.rows[i].cells[j], text)));
    return;
  }
  const newHead = make('thead');
  const headRow = make('tr');
  for (const heading of headings) {
    const cell = make('th', heading);
    cell.scope = 'col';
    headRow.append(cell);
  }
  newHead.append(headRow);
  const newBody = make('tbody');
  for (const row of rows) {
    const tableRow = make('tr');
    for (const text of row) tableRow.append(make('td', text));
    newBody.append(tableRow);
  }
  table.replaceChildren(newHead, newBody);
}

export function download(name: string, type: string, text: string) {
  const url = URL.createObjectURL(new Blob([text], { type }));
  const link = make('a');
  link.href = url;
  link.download = name;
  link.click();
  setTimeout(() => URL.revokeObjectURL(url), 0);
}
