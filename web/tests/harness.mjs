// The WebAssembly module under node, as the page's worker runs it: a fresh
// instance per program run, over files held in a Map.

import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join } from 'node:path';

// Each instance listens on the process, as emscripten's code does under node.
process.setMaxListeners(0);

const build = process.env.ARRASTO_WEB_BUILD ?? new URL('../../build/web', import.meta.url).pathname;
const createArrasto = createRequire(import.meta.url)(join(build, 'arrasto_web.js'));
const compiled = WebAssembly.compile(readFileSync(join(build, 'arrasto_web.wasm')));

export const fileOf = (bytes) => {
  const data = typeof bytes === 'string' ? Buffer.from(bytes) : bytes;
  return { parts: [data], size: data.length };
};
export const bytesOf = (file) => Buffer.concat(file.parts);

// A process on files (a Map name -> {parts, size}) in a language.
export async function spawn(files, language = 'en') {
  const errors = [];
  const shown = [];
  let written = 0;
  const module = await createArrasto({
    instantiateWasm(imports, done) {
      compiled.then((wasm) => WebAssembly.instantiate(wasm, imports)).then((i) => done(i));
      return {};
    },
    files,
    onWrite: (n) => (written += n),
    onEditor: (name) => shown.push(name),
    print: (line) => errors.push(line),
    printErr: (line) => errors.push(line),
    preRun: [(m) => { m.ENV.LANG = language === 'pt' ? 'pt_BR.UTF-8' : 'C'; }],
  });
  return { module, errors, shown, written: () => written };
}

// arrasto on one data file text: the files after the run, its status and
// error lines, and the files in the order it showed them.
export async function runArrasto(text, language = 'en') {
  const files = new Map([['dados.txt', fileOf(text)]]);
  const p = await spawn(files, language);
  const status = p.module.ccall('web_arrasto', 'number', [], []);
  return { files, status, errors: p.errors, shown: p.shown, written: p.written() };
}

export async function readData(text, language = 'en') {
  const p = await spawn(new Map([['dados.txt', fileOf(text)]]), language);
  return JSON.parse(p.module.ccall('web_read_data', 'string', [], []));
}

export const example = readFileSync(new URL('../../example/dados.txt', import.meta.url), 'utf8');

// The example with the value on the given line (from 1) replaced.
export function withLine(text, line, value) {
  const lines = text.split('\n');
  lines[line - 1] = value;
  return lines.join('\n');
}
