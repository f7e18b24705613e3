// The page's worker: runs arrasto and arrasto-grafico off the page's own
// thread, each as a fresh instance of the module (a process of its own,
// with the language in its environment), over files held in memory. The
// page makes it from a Blob of the module's code followed by this code.
// Messages in: {wasm} once, then {job: 'run' | 'file' | 'csv' | 'compare', ...};
// out: {progress}, {done}, {failed: error line}.
//
// The last run's files stay here until the next run: the page asks for one
// when it is to be downloaded ('file'). Their pieces then go back to the
// pool that the next run's files are written into (see platform_web.cpp);
// what a job leaves in the pool unused is let go, so that the worker holds
// the last run's files and no more.

let compiled = null; // a promise of the compiled module
let last = null; // the last run: its data file, language, files, curve file name
const pool = []; // free pieces of a megabyte for result files

function release(files) {
  for (const file of files.values()) if (file.chunks) pool.push(...file.chunks);
}

const encoder = new TextEncoder();

function fileOf(bytes) {
  return { parts: [bytes], size: bytes.length };
}

// One process: a new instance on the given files. Its error lines are
// collected; the editor runs give the order the files are shown in.
async function spawn(files, language, onWrite) {
  const errors = [];
  const shown = [];
  const module = await createArrasto({
    instantiateWasm(imports, done) {
      compiled.then((wasm) => WebAssembly.instantiate(wasm, imports)).then((instance) => done(instance));
      return {};
    },
    files,
    chunks: pool,
    onWrite,
    onEditor: (name) => shown.push(name),
    print: (line) => errors.push(line),
    printErr: (line) => errors.push(line),
    preRun: [(m) => { m.ENV.LANG = language === 'pt' ? 'pt_BR.UTF-8' : 'en_US.UTF-8'; }],
  });
  return { module, errors, shown };
}

// arrasto on one data file, then arrasto-grafico on its first curve file.
async function runOnce(text, language, report) {
  const files = new Map([['dados.txt', fileOf(encoder.encode(text))]]);
  const { module, errors, shown } = await spawn(files, language, report);
  const began = performance.now();
  if (module.ccall('web_arrasto', 'number', [], []) !== 0) throw new Error(errors.join('\n'));
  const swept = performance.now();
  const curve = shown[1];
  if (module.ccall('web_grafico', 'number', ['string'], [curve]) !== 0)
    throw new Error(errors.join('\n'));
  // How long each program took, and the module's memory (which the result
  // files, held outside it, do not grow): for the benchmark.
  const timings = { arrasto: swept - began, grafico: performance.now() - swept, memory: module.HEAPU8.length };
  return { files, shown, curve, timings };
}

function blobOf(file, type) {
  return new Blob(file.parts, { type });
}

async function run({ text, language, total }) {
  if (last) release(last.files);
  last = null;
  let written = 0;
  let next = 0;
  const step = Math.max(total / 100, 1 << 20);
  const { files, shown, curve, timings } = await runOnce(text, language, (bytes) => {
    written += bytes;
    if (written >= next) {
      postMessage({ progress: Math.min(written / total, 1) });
      next = written + step;
    }
  });
  const picture = new TextDecoder().decode(await blobOf(files.get(curve + '.svg')).arrayBuffer());
  const names = shown.slice(1);
  const report = await blobOf(files.get(names[2])).arrayBuffer();
  last = { text, language, curve, files };
  return { picture, curve, names, report, svgName: curve + '.svg', timings };
}

// A file of the last run, for a download.
async function file({ name }) {
  return { name, blob: blobOf(last.files.get(name), 'application/octet-stream') };
}

// The curve as CSV, M0 read from the report beside it.
async function csv({ hold }) {
  const files = new Map(last.files);
  const { module, errors } = await spawn(files, last.language);
  const name = last.curve + '.csv';
  const status = module.ccall('web_curve_csv', 'number', ['string', 'string', 'number'], [last.curve, name, hold ? 1 : 0]);
  const made = files.get(name);
  const blob = made && blobOf(made, 'text/csv');
  if (made) release(new Map([[name, made]]));
  if (status !== 0) throw new Error(errors.join('\n'));
  return { name, blob };
}

// Each run in a folder of its own (1/, 2/, ...), so that runs of the same
// name do not meet, its curve with the report that gives its M0; then one
// picture of all their curves.
async function compare({ texts, language }) {
  const files = new Map();
  const curves = [];
  for (const [i, text] of texts.entries()) {
    const one = await runOnce(text, language);
    for (const kept of [one.curve, one.shown[3]]) {
      files.set(`${i + 1}/${kept}`, one.files.get(kept));
      one.files.delete(kept);
    }
    release(one.files);
    curves.push(`${i + 1}/${one.curve}`);
    postMessage({ progress: (i + 1) / texts.length });
  }
  const { module, errors } = await spawn(files, language);
  const status = module.ccall('web_grafico', 'number', ['string'], [['-o', 'comparacao.svg', ...curves].join('\n')]);
  const made = files.get('comparacao.svg');
  const picture = made && new TextDecoder().decode(await blobOf(made).arrayBuffer());
  release(files);
  if (status !== 0) throw new Error(errors.join('\n'));
  return { picture, svgName: 'comparacao.svg' };
}

onmessage = async ({ data }) => {
  if (data.wasm) {
    // Compiled once; a first run of the given example while the user reads
    // the page has the browser compile the code that a run goes through.
    compiled = WebAssembly.compile(data.wasm);
    await runOnce(data.example, 'en').catch(() => {});
    return;
  }
  try {
    const jobs = { run, file, csv, compare };
    postMessage({ done: await jobs[data.job](data) });
  } catch (error) {
    postMessage({ failed: error.message });
  }
  pool.length = 0;
};
