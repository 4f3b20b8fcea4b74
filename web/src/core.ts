// The core in WebAssembly: setup JSON in, the command's JSON out.

interface CoreModule {
  HEAPU8: Uint8Array;
  ccall(name: string, returns: 'string' | 'number', types: string[], args: unknown[]): string | number;
  cwrap(name: string, returns: 'number', types: string[]): (...args: unknown[]) => number;
}
declare const KorvanCore: (settings?: object) => Promise<CoreModule>;

export interface Core {
  plan(setup: object): { text: string; charts: string };
  camera(path: string, bytes: Uint8Array): string;
  sheet(setup: object, format: string): string;
  // A setup file's bytes read by the core's setup reader.
  openSetup(path: string, bytes: Uint8Array): string;
  // The file `setup save` writes for the setup.
  saveSetup(setup: object): string;
  // What the last call noted beside its answer.
  notes(): string;
}

export async function loadCore(): Promise<Core> {
  const module = await KorvanCore();
  const decoder = new TextDecoder();
  // The answers are long (a plan is tens of kilobytes): decoded in one step up to their end
  // rather than scanned byte by byte.
  const text = (pointer: number) => {
    const heap = module.HEAPU8;
    const end = heap.indexOf(0, pointer);
    return decoder.decode(heap.subarray(pointer, end < 0 ? heap.length : end));
  };
  const call = (name: string, types: string[], args: unknown[]) => text(module.ccall(name, 'number', types, args) as number);
  return {
    plan(setup: object) {
      const answer = call('korvan_plan', ['string'], [JSON.stringify(setup)]);
      return { text: answer, charts: call('korvan_charts', [], []) };
    },
    sheet(setup: object, format: string) {
      return call('korvan_sheet', ['string', 'string'], [JSON.stringify(setup), format]);
    },
    camera(path: string, bytes: Uint8Array) {
      return call('korvan_camera', ['string', 'array', 'number'], [path, bytes, bytes.length]);
    },
    openSetup(path: string, bytes: Uint8Array) {
      return call('korvan_open_setup', ['string', 'array', 'number'], [path, bytes, bytes.length]);
    },
    saveSetup(setup: object) {
      return call('korvan_save_setup', ['string'], [JSON.stringify(setup)]);
    },
    notes() {
      return call('korvan_notes', [], []);
    },
  };
}
