// Puts the page together as one self-contained HTML file:
//   node build_page.mjs SOURCE_DIR MODULE_JS VERSION OUTPUT_HTML
// MODULE_JS is emscripten's arrasto_web.js, with arrasto_web.wasm beside it.
// Everything the page needs goes inside: the module's code, its bytes in
// base64, the worker's code, the style, the dimension drawing, the example
// data file and the page's Portuguese catalogue (web/po/pt.po).

import { readFileSync, writeFileSync, renameSync } from 'node:fs';
import { join } from 'node:path';
import { parsePo } from './po.mjs';

const [source, moduleJs, version, output] = process.argv.slice(2);
const read = (...path) => readFileSync(join(...path), 'utf8');
const web = (name) => read(source, 'web', name);

// Inline script text must not close its element early.
const scriptSafe = (text) => text.replace(/<\/(script)/gi, '<\\/$1');

const drawing = read(source, 'docs', 'dimensoes.svg').replace(/^<\?xml[^>]*>\s*/, '');
const wasm = readFileSync(moduleJs.replace(/\.js$/, '.wasm')).toString('base64');
const parts = {
  VERSION: version,
  STYLE: web('page.css'),
  DRAWING: drawing,
  MODULE: scriptSafe(readFileSync(moduleJs, 'utf8')),
  WASM: wasm,
  WORKER: scriptSafe(web('worker.js')),
  PAGE: scriptSafe(web('page.js')),
  CATALOGUE: scriptSafe(JSON.stringify(parsePo(web('po/pt.po')))),
  EXAMPLE: scriptSafe(JSON.stringify(read(source, 'example', 'dados.txt'))),
};
const html = web('page.html').replace(/@@([A-Z]+)@@/g, (whole, key) => {
  if (!(key in parts)) throw new Error(`page.html: unknown part ${whole}`);
  return parts[key];
});
writeFileSync(output + '.new', html);
renameSync(output + '.new', output);
