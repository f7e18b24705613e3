// The WebAssembly module under node: what the page relies on beyond the
// programs' own tests. The files are the Windows program's (CR LF,
// Windows-1252 labels, Unicode names); the reader says where each value
// stands; a refused file writes nothing; a run longer than the output
// buffer completes without a writer thread; the CSV.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { parsePo } from '../po.mjs';
import { bytesOf, example, readData, runArrasto, spawn, withLine } from './harness.mjs';

const portuguese = parsePo(readFileSync(new URL('../../po/pt.po', import.meta.url), 'utf8'));

test('a run leaves the Windows files under Unicode names, shown in order', async () => {
  const run = await runArrasto(example);
  assert.equal(run.status, 0, run.errors.join('\n'));
  assert.deepEqual(run.shown, ['dados.txt', 'Curva1_foguete', 'Curva_trajetória_foguete', 'foguete']);
  for (const name of run.shown.slice(1)) {
    const text = bytesOf(run.files.get(name)).toString('latin1');
    assert.equal(text.split('\r\n').length - 1, text.split('\n').length - 1, `${name}: CR LF throughout`);
    assert.ok(text.endsWith('\r\n'), name);
  }
  const report = bytesOf(run.files.get('foguete'));
  assert.ok(report.includes(Buffer.from('press\xe3o', 'latin1')), 'a Windows-1252 label');
  assert.match(report.toString('latin1'), /TOTAL: {2}0\.828571617328029 /);
  assert.equal(bytesOf(run.files.get('Curva1_foguete')).subarray(0, 20).toString('latin1'), '  # N\xfamero de Mach  ');
});

test('a file that does not read writes nothing and says why, in the language asked for', async () => {
  const cases = [
    // [line, text on it, language, the error line's beginning, English text of its rest]
    [8, '5.0', 'pt', 'dados.txt:8: IT: ', 'expected an integer, found {}', '"5.0"'],
    [9, '7', 'en', 'dados.txt:9: NA: ', null, null],
    [1, 'dados.txt', 'en', 'dados.txt:1: NOME: ', null, null],
    [1, 'a<b', 'en', 'dados.txt:1: NOME: ', null, null],
  ];
  for (const [line, value, language, start, english, argument] of cases) {
    const run = await runArrasto(withLine(example, line, value), language);
    assert.equal(run.status, 1, value);
    assert.deepEqual([...run.files.keys()], ['dados.txt'], value);
    assert.equal(run.errors.length, 1, value);
    assert.ok(run.errors[0].startsWith(start), run.errors[0]);
    if (english) assert.equal(run.errors[0], start + portuguese[english].replace('{}', argument));
    const read = await readData(withLine(example, line, value), language);
    assert.equal(read.error, run.errors[0], 'the form shows the line the run gives');
  }
});

test('the reader tells where every value stands, whatever the line ends and remarks', async () => {
  const cases = [
    // [data file, value, the bytes its span must cover]
    [example, 'NOME', 'foguete'],
    [example, 'LTB', '30'],
    [example.replace(/\n/g, '\r\n'), 'LTB', '30'],
    ['\ufeff' + example, 'U', '1'],
    [withLine(example, 1, "  'Meu Foguete' remark"), 'NOME', "'Meu Foguete'"],
    [withLine(example, 7, '\t0.9,  0.8'), 'MMAX', '0.9'],
    [withLine(example, 7, '2*0.9'), 'MMAX', '0.9'],
    [withLine(example, 3, '\n\n  20'), 'TO1', '20'],
    [withLine(example, 8, 'x9'), 'IT', 'x9'],
  ];
  for (const [text, name, expected] of cases) {
    const read = await readData(text);
    const span = read.values.find((v) => v.name === name);
    assert.ok(span, `${name} in ${JSON.stringify(text.slice(0, 40))}`);
    assert.equal(Buffer.from(text).subarray(span.begin, span.end).toString(), expected);
  }
  const shifted = await readData(withLine(example, 3, '\n\n  20'));
  assert.equal(shifted.values.find((v) => v.name === 'LTB').line, 28);
  const failed = await readData(withLine(example, 8, 'x9'));
  assert.deepEqual(failed.values.map((v) => v.name).at(-1), 'IT', 'no span after the value at fault');
});

test('a run name is written so that it reads back whole', async () => {
  const p = await spawn(new Map());
  const cases = [
    ['foguete', 'foguete'],
    ['Meu Foguete', "'Meu Foguete'"],
    ["d'Ávila 2", "'d''Ávila 2'"],
    ['a,b', "'a,b'"],
    ["'x", "'''x'"],
  ];
  for (const [name, written] of cases) {
    assert.equal(p.module.ccall('web_name_text', 'string', ['string'], [name]), written);
    const read = await readData(withLine(example, 1, written));
    assert.equal(read.error, '', written);
  }
});

test('a sweep of many buffers completes on its own thread, its size known beforehand', async () => {
  const text = withLine(example, 8, '30000');
  const read = await readData(text);
  const run = await runArrasto(text);
  assert.equal(run.status, 0, run.errors.join('\n'));
  const curves = run.files.get('Curva1_foguete').size + run.files.get('Curva_trajetória_foguete').size;
  assert.ok(run.files.get('Curva1_foguete').parts.length > 1, 'handed over in pieces');
  assert.equal(run.written, curves + run.files.get('foguete').size);
  // The progress comes to within the report's few hundred bytes of the end.
  assert.ok(read.bytes >= run.written && read.bytes - run.written < 4096, `${read.bytes} for ${run.written}`);
});

test('the curve as CSV, with Cd held below M0, read from the report, when asked', async () => {
  const run = await runArrasto(example);
  for (const [hold, header, first] of [
    [0, 'Mach,Cd', '0.1,0.170764178798247'],
    [1, 'Mach,Cd held below the lowest valid Mach number M0 = 0.366563262530292 at 0.498818654473212 (its value at Mach 0.4)',
      '0.1,0.498818654473212'],
  ]) {
    const files = new Map(['Curva1_foguete', 'foguete'].map((name) => [name, run.files.get(name)]));
    const p = await spawn(files);
    assert.equal(p.module.ccall('web_curve_csv', 'number', ['string', 'string', 'number'], ['Curva1_foguete', 'c.csv', hold]), 0);
    const lines = bytesOf(files.get('c.csv')).toString().split('\n');
    assert.equal(lines[0], header);
    assert.equal(lines[1], first);
    assert.equal(lines[9], '0.9,0.828571617328029');
    assert.equal(lines.length, 11);
  }
});

test('a comparison draws each run from its own folder', async () => {
  const a = await runArrasto(example);
  const b = await runArrasto(withLine(withLine(example, 1, 'retos'), 15, '2'));
  const files = new Map([['1/Curva1_foguete', a.files.get('Curva1_foguete')], ['2/Curva1_retos', b.files.get('Curva1_retos')]]);
  const p = await spawn(files);
  assert.equal(p.module.ccall('web_grafico', 'number', ['string'], ['-o\ncomparacao.svg\n1/Curva1_foguete\n2/Curva1_retos']), 0, p.errors.join('\n'));
  const svg = bytesOf(files.get('comparacao.svg')).toString();
  assert.match(svg, />foguete</);
  assert.match(svg, />retos</);
});
