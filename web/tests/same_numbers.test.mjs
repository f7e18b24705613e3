// The page computes what the console program computes. WebAssembly's C
// library is musl, whose pow, log10, sin, cos, atan and asin round a few
// arguments differently from glibc's in the last bit; so the module's three
// files and its picture of the curve are compared byte for byte (line ends
// aside) with those of the native programs linked with musl's math
// functions (the musl-math preset), on the example and on rockets that take
// every branch of the model. Against the ordinary Linux build, the values
// that differ are counted.
//
//   ARRASTO_MUSL_ARRASTO=build/musl-math/src/arrasto \
//   ARRASTO_LINUX_ARRASTO=build/default/src/arrasto node --test web/tests/same_numbers.test.mjs

import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { bytesOf, example, runArrasto, spawn } from './harness.mjs';

const musl = process.env.ARRASTO_MUSL_ARRASTO;
const linux = process.env.ARRASTO_LINUX_ARRASTO;

// A small generator with a fixed seed, so that every run tests the same rockets.
function random(seed) {
  return () => {
    seed = (seed + 0x6d2b79f5) | 0;
    let x = Math.imul(seed ^ (seed >>> 15), 1 | seed);
    x = (x + Math.imul(x ^ (x >>> 7), 61 | x)) ^ x;
    return ((x ^ (x >>> 14)) >>> 0) / 4294967296;
  };
}

// Rocket k: every nose, both edges, motor on and off, lug or none, the
// three units, and sweeps past Mach 1 (NaN and Infinity for rounded edges).
function rocket(k) {
  const r = random(k + 1);
  const pick = (lo, hi, digits = 3) => (lo + (hi - lo) * r()).toFixed(digits);
  const unit = (k % 3) + 1;
  const scale = [1, 1 / 304.8, 1 / 25.4][unit - 1];
  const length = (lo, hi) => (Number(pick(lo, hi)) * scale).toPrecision(6);
  const dc = Number(pick(20, 100));
  const values = [
    `r${k}`, unit, pick(-5, 40), pick(80, 105), pick(1e5, 5e5, 0), pick(1e5, 5e5, 0),
    k % 4 === 3 ? pick(1.05, 2.5) : pick(0.3, 0.95), 50 + (k * 37) % 400,
    (k % 4) + 1, (dc * scale * (2.5 + 3 * r())).toPrecision(6), (dc * scale).toPrecision(6),
    length(200, 1500), (dc * scale).toPrecision(6), [3, 4, 6][k % 3], (k >> 1) % 2 ? 1 : 2,
    length(1, 6), length(40, 160), length(0, 60), length(25, 100), length(-10, 80),
    (k >> 2) % 2, length(4, 20), (k >> 3) % 2 ? 1 : 0, length(4, 12), length(0.2, 1.5), length(4, 80),
  ];
  return values.join('\n') + '\n';
}
const rockets = [example, ...Array.from({ length: 40 }, (_, k) => rocket(k))];

// The native program on a data file, in a scratch folder with no editor,
// then arrasto-grafico beside it when given: the named result files.
function native(program, text, names, grafico) {
  const folder = mkdtempSync(join(tmpdir(), 'arrasto-'));
  try {
    writeFileSync(join(folder, 'dados.txt'), text);
    execFileSync(program, [], { cwd: folder, env: { PATH: folder, LANG: 'C' } });
    if (grafico) execFileSync(grafico, [names[0]], { cwd: folder, env: { PATH: folder, LANG: 'C' } });
    return Object.fromEntries(names.map((name) => [name, readFileSync(join(folder, name))]));
  } finally {
    rmSync(folder, { recursive: true });
  }
}

const lf = (bytes) => Buffer.from(bytes.toString('latin1').replace(/\r\n/g, '\n'), 'latin1');

test('the page writes the musl-math programs\' files and picture, byte for byte', { skip: !musl && 'ARRASTO_MUSL_ARRASTO not set' }, async () => {
  const grafico = join(dirname(musl), 'grafico', 'arrasto-grafico');
  let compared = 0;
  for (const text of rockets) {
    const run = await runArrasto(text);
    assert.equal(run.status, 0, run.errors.join('\n'));
    const curve = run.shown[1];
    const drawing = await spawn(run.files);
    assert.equal(drawing.module.ccall('web_grafico', 'number', ['string'], [curve]), 0, drawing.errors.join('\n'));
    for (const [name, bytes] of Object.entries(native(musl, text, [...run.shown.slice(1), curve + '.svg'], grafico))) {
      assert.ok(lf(bytesOf(run.files.get(name))).equals(bytes), `${name} differs`);
      compared += 1;
    }
  }
  assert.equal(compared, 4 * rockets.length);
});

test('against glibc\'s math: how many values differ, and by how much', { skip: !linux && 'ARRASTO_LINUX_ARRASTO not set' }, async (t) => {
  let values = 0, differ = 0, files = 0, worst = 0;
  for (const text of rockets) {
    const run = await runArrasto(text);
    let fileDiffers = false;
    for (const [name, bytes] of Object.entries(native(linux, text, run.shown.slice(1)))) {
      const ours = lf(bytesOf(run.files.get(name))).toString('latin1').split(/\s+/);
      const theirs = bytes.toString('latin1').split(/\s+/);
      assert.equal(ours.length, theirs.length, name);
      for (const [i, word] of ours.entries()) {
        const a = Number(word), b = Number(theirs[i]);
        if (Number.isNaN(a) && Number.isNaN(b) && word === theirs[i]) continue;
        if (!Number.isFinite(a) || word.length < 3) { assert.equal(word, theirs[i]); continue; }
        values += 1;
        if (word !== theirs[i]) {
          differ += 1;
          fileDiffers = true;
          worst = Math.max(worst, Math.abs(a - b) / Math.max(Math.abs(a), Math.abs(b)));
        }
      }
    }
    files += fileDiffers;
  }
  t.diagnostic(`${differ} of ${values} values differ (${files} of ${rockets.length} rockets), ` +
    `at most ${worst.toExponential(2)} relative`);
  assert.ok(worst < 1e-12, 'only in the last digits');
});
