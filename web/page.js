'use strict';
// The page: the data file as a form and as text, runs in a worker, the
// results, the runs kept in this browser and their comparison. The data
// file is read only by the program's own reader (the module's
// web_read_data), which says where each value stands in the text; the
// page replaces exactly those bytes when a value is edited.

// The 26 values: name, unit, meaning, typical value (the example's).
const FIELDS = [
  ['NOME', 'text', 'run name; names the report and goes into the curve file names', 'foguete'],
  ['U', 'code', 'length unit: 1 millimetres, 2 feet, 3 inches (anything else: millimetres)', '1'],
  ['TO1', '°C', 'air temperature', '15 to 35 (20)'],
  ['PO1', 'kPa', 'air pressure (kPa, not hPa)', '101.325 at sea level, about 90 at 1000 m'],
  ['RETC', '—', 'transition Reynolds number of the body', '100000 to 500000'],
  ['RETE', '—', 'transition Reynolds number of the fins', '100000 to 500000'],
  ['MMAX', 'Mach', 'highest Mach number of the sweep', '0.3 to 0.9'],
  ['IT', 'integer', 'number of sweep points', '20 to 300 (9)'],
  ['NA', 'code', 'nose shape: 1 half-ellipsoid, 2 tangent ogive, 3 cone, 4 paraboloid', '2'],
  ['LNA', 'length', 'nose length', '3 to 5 × DC (120)'],
  ['DNA', 'length', 'nose base diameter', 'as DC (40)'],
  ['LC', 'length', 'body tube length, without the nose', '300 to 1500 (600)'],
  ['DC', 'length', 'body tube diameter; sets the reference area', '25 to 100 (40)'],
  ['N', '—', 'number of fins (never scaled)', '3 or 4'],
  ['AC', 'code', 'fin edges: 1 rounded, anything else square', '1'],
  ['E', 'length', 'fin thickness', '1.5 to 5 (2)'],
  ['RC', 'length', 'fin root chord', '50 to 150 (80)'],
  ['TC', 'length', 'fin tip chord', '0 to RC (40)'],
  ['S', 'length', "fin span, from the tube's surface to the tip", '30 to 100 (50)'],
  ['SC', 'length', "fin sweep: from the root's leading edge to the tip's, along the axis", '0 to RC (30)'],
  ['MOTORLIGADO', 'code', 'motor burning: 0 no, anything else yes', '0'],
  ['DT', 'length', 'nozzle exit diameter (taken off the base while the motor burns)', '5 to 20 (10)'],
  ['NT', 'code', 'launch lug: 1 present, anything else absent', '1'],
  ['DETB', 'length', 'launch lug outer diameter', '5 to 10 (8)'],
  ['ETB', 'length', 'launch lug wall thickness', '0.3 to 1 (1)'],
  ['LTB', 'length', 'launch lug length', '25 to 75 (30)'],
];

const $ = (id) => document.getElementById(id);
const encoder = new TextEncoder();
const decoder = new TextDecoder();

// What the page keeps in the browser's own storage.
const saved = {
  get(key, fallback) {
    try {
      const value = localStorage.getItem('arrasto.' + key);
      return value === null ? fallback : JSON.parse(value);
    } catch {
      return fallback;
    }
  },
  set(key, value) {
    try {
      localStorage.setItem('arrasto.' + key, JSON.stringify(value));
    } catch {
      showStatus(t('This browser keeps nothing for this page: a reload will lose the data.'), true);
    }
  },
};

let language = saved.get('language', navigator.language.toLowerCase().startsWith('pt') ? 'pt' : 'en');
const t = (english) => (language === 'pt' && CATALOGUE[english]) || english;

let text = saved.get('draft', EXAMPLE); // dados.txt as it stands
let crlf = saved.get('crlf', false); // its line ends when saved
let runs = saved.get('runs', []); // {id, name, time, text}
let data = { values: [], error: '' }; // what the reader made of text
let shown = null; // the picture on screen: {svg, name}

// ---- The module on this thread, for reading the data file as it is typed.

const wasmBytes = Uint8Array.from(atob($('wasm').textContent.trim()), (c) => c.charCodeAt(0));
const compiled = WebAssembly.compile(wasmBytes);
let reader = null;

async function makeReader() {
  const files = new Map();
  const module = await createArrasto({
    instantiateWasm(imports, done) {
      compiled.then((wasm) => WebAssembly.instantiate(wasm, imports)).then((i) => done(i));
      return {};
    },
    files,
    print: () => {},
    printErr: () => {},
    preRun: [(m) => { m.ENV.LANG = language === 'pt' ? 'pt_BR.UTF-8' : 'en_US.UTF-8'; }],
  });
  reader = { module, files };
}

function readData() {
  if (!reader) return;
  const bytes = encoder.encode(text);
  reader.files.set('dados.txt', { parts: [bytes], size: bytes.length });
  data = JSON.parse(reader.module.ccall('web_read_data', 'string', [], []));
  data.bytes ??= 0;
  // The error line begins "dados.txt:LINE: NAME:" or "dados.txt: NAME:".
  const at = /^dados\.txt:(?:\d+:)? ([A-Z0-9]+):/.exec(data.error);
  data.errorName = at ? at[1] : '';
  showData(bytes);
}

// ---- The form and the text, two views of one file.

function buildForm() {
  const form = $('form');
  form.textContent = '';
  FIELDS.forEach(([name, unit, meaning, typical], i) => {
    const field = document.createElement('div');
    field.className = 'field';
    field.id = 'field-' + name;
    field.innerHTML =
      `<label for="v-${name}"><b>${name}</b> <span class="line"></span></label>` +
      `<input id="v-${name}" name="${name}"><span class="unit"></span>` +
      `<small class="meaning"></small><p class="error" role="alert"></p>`;
    field.querySelector('.line').textContent = `(${t('line')} ${i + 1})`;
    field.querySelector('.unit').textContent = t(unit);
    field.querySelector('.meaning').textContent = `${t(meaning)}. ${t('Typical:')} ${t(typical)}`;
    const input = field.querySelector('input');
    input.addEventListener('change', () => changeValue(name, input));
    input.addEventListener('focus', () => showDimension(name, i + 1));
    input.addEventListener('blur', () => showDimension(null));
    form.appendChild(field);
  });
}

function showData(bytes) {
  if ($('text').value !== text) $('text').value = text;
  for (const [name] of FIELDS) {
    const field = $('field-' + name);
    const input = field.querySelector('input');
    const span = data.values.find((v) => v.name === name);
    if (document.activeElement !== input)
      input.value = span ? decoder.decode(bytes.subarray(span.begin, span.end)) : '';
    input.disabled = !span;
    const wrong = data.errorName === name;
    field.classList.toggle('invalid', wrong);
    field.querySelector('.error').textContent = wrong ? data.error : '';
  }
  $('text-error').textContent = data.error && !$('field-' + data.errorName) ? data.error : '';
}

function setText(newText) {
  text = newText;
  saved.set('draft', text);
  readData();
}

// A value edited in the form replaces exactly its bytes in the text; a run
// name is written so that it reads back whole.
function changeValue(name, input) {
  const span = data.values.find((v) => v.name === name);
  let value = input.value.trim();
  if (!span || value === '') return readData();
  if (name === 'NOME' && !/^['"]/.test(value))
    value = reader.module.ccall('web_name_text', 'string', ['string'], [value]);
  const bytes = encoder.encode(text);
  const edited = new Uint8Array([...bytes.subarray(0, span.begin), ...encoder.encode(value), ...bytes.subarray(span.end)]);
  setText(decoder.decode(edited));
}

// The labels of the dimension drawing that name the value being edited.
function showDimension(name, line) {
  for (const label of $('drawing').querySelectorAll('text'))
    label.classList.toggle('focus', name !== null && label.textContent.includes(`${name} (${line})`));
}

function loadFile(file) {
  file.arrayBuffer().then((buffer) => {
    let loaded;
    try {
      loaded = new TextDecoder('utf-8', { fatal: true }).decode(buffer);
    } catch {
      loaded = new TextDecoder('windows-1252').decode(buffer);
    }
    crlf = loaded.includes('\r\n');
    saved.set('crlf', crlf);
    setText(loaded.replace(/\r\n?/g, '\n'));
    showStatus(t('Opened {}.').replace('{}', file.name));
  });
}

function download(blob, name) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(blob);
  link.download = name;
  document.body.appendChild(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 60000);
}

// ---- The worker, where the programs run.

let worker = null;
let pending = null; // {resolve, reject} of the job in progress

function makeWorker() {
  const code = $('module').textContent + '\n' + $('worker').textContent;
  worker = new Worker(URL.createObjectURL(new Blob([code], { type: 'text/javascript' })));
  worker.postMessage({ wasm: wasmBytes, example: EXAMPLE });
  worker.onmessage = ({ data: message }) => {
    if ('progress' in message) {
      $('progress').value = message.progress;
      return;
    }
    const job = pending;
    pending = null;
    busy(false);
    if (message.failed !== undefined) job.reject(new Error(message.failed));
    else job.resolve(message.done);
  };
}

function call(job) {
  busy(true);
  return new Promise((resolve, reject) => {
    pending = { resolve, reject };
    worker.postMessage(job);
  });
}

function busy(on) {
  for (const id of ['start', 'compare', 'export-csv']) $(id).disabled = on;
  for (const button of $('files').querySelectorAll('button')) button.disabled = on;
  $('cancel').hidden = !on;
  $('progress').hidden = !on;
  $('progress').value = 0;
}

function cancel() {
  worker.terminate();
  makeWorker();
  hideFiles();
  const job = pending;
  pending = null;
  busy(false);
  job?.reject(new Error(t('Cancelled.')));
}

function showStatus(message, error = false) {
  $('status').textContent = message;
  $('status').classList.toggle('error', error);
}

function showPicture(svg, name, title) {
  shown = { svg, name };
  $('results').hidden = false;
  $('results-title').textContent = title;
  $('picture').innerHTML = svg.replace(/^<\?xml[^>]*>\s*/, '');
}

async function start() {
  readData();
  if (data.error) {
    showStatus(data.error, true);
    $('v-' + data.errorName)?.focus();
    return;
  }
  showStatus(t('Running…'));
  const began = performance.now();
  // The last run's files are the worker's until this run replaces them.
  hideFiles();
  try {
    const result = await call({ job: 'run', text, language, total: data.bytes });
    const reportName = result.names[2];
    showPicture(result.picture, result.svgName, reportName);
    $('files').textContent = '';
    for (const name of result.names) {
      const link = document.createElement('button');
      link.type = 'button';
      link.textContent = '↓ ' + name;
      link.addEventListener('click', () => downloadFile(name));
      $('files').appendChild(link);
    }
    for (const id of ['files', 'report', 'export-csv', 'hold-label']) $(id).hidden = false;
    $('report').textContent = new TextDecoder('windows-1252').decode(result.report);
    runs.unshift({ id: Date.now(), name: reportName, time: new Date().toISOString(), text });
    saved.set('runs', runs);
    renderRuns();
    document.body.dataset.timings = JSON.stringify(result.timings); // for the benchmark
    const ms = Math.round(performance.now() - began);
    showStatus(t('Done in {} ms.').replace('{}', ms));
  } catch (error) {
    showStatus(error.message, true);
  }
}

function hideFiles() {
  for (const id of ['files', 'export-csv', 'hold-label']) $(id).hidden = true;
}

async function downloadFile(name) {
  try {
    const { blob } = await call({ job: 'file', name });
    download(blob, name);
  } catch (error) {
    showStatus(error.message, true);
  }
}

async function compare() {
  const ticked = runs.filter((run) => $('tick-' + run.id)?.checked);
  if (ticked.length === 0) return showStatus(t('Tick the runs to compare first.'), true);
  showStatus(t('Running…'));
  try {
    const result = await call({ job: 'compare', texts: ticked.map((run) => run.text), language });
    showPicture(result.picture, result.svgName, t('Comparison'));
    for (const id of ['files', 'report', 'export-csv', 'hold-label']) $(id).hidden = true;
    showStatus('');
  } catch (error) {
    showStatus(error.message, true);
  }
}

function exportPng() {
  const image = new Image();
  const url = URL.createObjectURL(new Blob([shown.svg], { type: 'image/svg+xml' }));
  image.onload = () => {
    const canvas = document.createElement('canvas');
    canvas.width = image.naturalWidth * 2;
    canvas.height = image.naturalHeight * 2;
    const context = canvas.getContext('2d');
    context.fillStyle = 'white';
    context.fillRect(0, 0, canvas.width, canvas.height);
    context.drawImage(image, 0, 0, canvas.width, canvas.height);
    URL.revokeObjectURL(url);
    canvas.toBlob((blob) => download(blob, shown.name.replace(/\.svg$/, '.png')), 'image/png');
  };
  image.src = url;
}

async function exportCsv() {
  try {
    const { name, blob } = await call({ job: 'csv', hold: $('hold').checked });
    download(blob, name);
  } catch (error) {
    showStatus(error.message, true);
  }
}

// ---- The runs kept in the browser.

function renderRuns() {
  const list = $('run-list');
  list.textContent = '';
  for (const run of runs) {
    const item = document.createElement('li');
    item.innerHTML =
      `<label><input type="checkbox" id="tick-${run.id}"> <span class="name"></span></label>` +
      `<time></time><button type="button" class="load"></button><button type="button" class="delete"></button>`;
    item.querySelector('.name').textContent = run.name;
    item.querySelector('time').textContent = new Date(run.time).toLocaleString(language === 'pt' ? 'pt-BR' : 'en');
    item.querySelector('.load').textContent = t('Edit');
    item.querySelector('.delete').textContent = t('Delete');
    item.querySelector('.load').addEventListener('click', () => setText(run.text));
    item.querySelector('.delete').addEventListener('click', () => {
      runs = runs.filter((r) => r !== run);
      saved.set('runs', runs);
      renderRuns();
    });
    list.appendChild(item);
  }
  $('compare').hidden = runs.length < 2;
}

function renderTexts() {
  document.documentElement.lang = language === 'pt' ? 'pt-BR' : 'en';
  $('language').value = language;
  for (const element of document.querySelectorAll('[data-t]')) element.textContent = t(element.dataset.t);
  buildForm();
  renderRuns();
}

async function setLanguage(code) {
  language = code;
  saved.set('language', language);
  renderTexts();
  await makeReader();
  readData();
}

// ---- Wiring.

$('text').addEventListener('input', () => setText($('text').value));
$('open').addEventListener('change', (event) => event.target.files[0] && loadFile(event.target.files[0]));
document.addEventListener('dragover', (event) => event.preventDefault());
document.addEventListener('drop', (event) => {
  event.preventDefault();
  if (event.dataTransfer.files[0]) loadFile(event.dataTransfer.files[0]);
});
$('save').addEventListener('click', () =>
  download(new Blob([crlf ? text.replace(/\n/g, '\r\n') : text], { type: 'text/plain' }), 'dados.txt'));
$('example').addEventListener('click', () => setText(EXAMPLE));
$('start').addEventListener('click', start);
$('cancel').addEventListener('click', cancel);
$('compare').addEventListener('click', compare);
$('export-svg').addEventListener('click', () => download(new Blob([shown.svg], { type: 'image/svg+xml' }), shown.name));
$('export-png').addEventListener('click', exportPng);
$('export-csv').addEventListener('click', exportCsv);
$('language').addEventListener('change', (event) => setLanguage(event.target.value));

makeWorker();
setLanguage(language);
