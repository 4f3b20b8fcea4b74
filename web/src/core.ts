// The core in WebAssembly: setup JSON in, the command's JSON out.

interface CoreModule {
  ccall(name: string, returns: 'string', types: string[], args: unknown[]): string;
  cwrap(name: string, returns: 'string', types: string[]): (...args: unknown[]) => string;
}
declare const KorvanCore: (settings?: object) => Promise<CoreModule>;

export interface Core {
  plan(setup: object): { text: string; charts: string };
  camera(path: string, bytes: Uint8Array): string;
  sheet(setup: object, format: string): string;
}

export async function loadCore(): Promise<Core> {
  const module = await KorvanCore();
  const plan = module.cwrap('korvan_plan', 'string', ['string']);
  const charts = module.cwrap('korvan_charts', 'string', []);
  return {
    plan(setup: object) {
      const text = plan(JSON.stringify(setup));
      return { text, charts: charts() };
    },
    sheet(setup: object, format: string) {
      return module.ccall('korvan_sheet', 'string', ['string', 'string'], [JSON.stringify(setup), format]);
    },
    camera(path: string, bytes: Uint8Array) {
      return module.ccall('korvan_camera', 'string', ['string', 'array', 'number'], [path, bytes, bytes.length]);
    },
  };
}
