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

// A list of named values as <dt> labels and <output> results.
export function showValues(list: HTMLElement, rows: Array<[string, string, string?]>) {
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
  const head = make('thead');
  const headRow = make('tr');
  for (const heading of headings) {
    const cell = make('th', heading);
    cell.scope = 'col';
    headRow.append(cell);
  }
  head.append(headRow);
  const body = make('tbody');
  for (const row of rows) {
    const tableRow = make('tr');
    for (const text of row) tableRow.append(make('td', text));
    body.append(tableRow);
  }
  table.replaceChildren(head, body);
}

export function download(name: string, type: string, text: string) {
  const url = URL.createObjectURL(new Blob([text], { type }));
  const link = make('a');
  link.href = url;
  link.download = name;
  link.click();
  setTimeout(() => URL.revokeObjectURL(url), 0);
}
