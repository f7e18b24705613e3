// The page in Debian's chromium, headless, opened from the disk with every
// request other than the file itself refused: a value changed in the form,
// a run, its picture and downloaded files, a refused value's message at
// its field, a comparison of two runs, a reload that keeps them, a
// cancelled long run, and the page at a phone's width.
//
//   ARRASTO_PAGE=build/web/arrasto-1.1.0.html node --test web/tests/page.test.mjs

import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync, mkdtempSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { chromium } from 'playwright-core';
import { parsePo } from '../po.mjs';
import { bytesOf, example, runArrasto, withLine } from './harness.mjs';

const page_file = process.env.ARRASTO_PAGE;
const shots = process.env.ARRASTO_SCREENSHOTS ?? mkdtempSync(join(tmpdir(), 'arrasto-page-'));
const portuguese = parsePo(readFileSync(new URL('../../po/pt.po', import.meta.url), 'utf8'));
let browser, context, page;

before(async () => {
  browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync'],
  });
  context = await browser.newContext({ locale: 'pt-BR', acceptDownloads: true });
  const url = 'file://' + page_file;
  // Nothing but the page itself may be loaded.
  await context.route('**/*', (route) => (route.request().url() === url ? route.continue() : route.abort()));
  page = await context.newPage();
  page.on('pageerror', (error) => assert.fail(error.message));
  await page.goto(url);
  await page.waitForFunction(() => document.querySelector('#v-IT').value !== '');
});
after(() => browser?.close());

async function setValue(name, value) {
  await page.fill('#v-' + name, value);
  await page.press('#v-' + name, 'Enter');
}

async function run() {
  await page.click('#start');
  await page.waitForFunction(() => /ms/.test(document.querySelector('#status').textContent) ||
    document.querySelector('#status').classList.contains('error'));
  return page.textContent('#status');
}

async function downloaded(name) {
  const [download] = await Promise.all([page.waitForEvent('download'),
    page.click(`#files button:text-is("↓ ${name}")`)]);
  assert.equal(download.suggestedFilename(), name);
  return readFileSync(await download.path());
}

test('a value changed in the form runs, and the files are the module\'s', { skip: !page_file }, async () => {
  await setValue('IT', '18');
  const text = await page.inputValue('#text');
  assert.equal(text, withLine(example, 8, example.split('\n')[7].replace(/^9/, '18')), 'only the value changed');
  const status = await run();
  assert.match(status, /Pronto em \d+ ms/);
  assert.equal(await page.locator('#picture svg circle').count(), 18, 'one marker a point');
  const expected = await runArrasto(text);
  for (const name of ['Curva1_foguete', 'Curva_trajetória_foguete', 'foguete'])
    assert.ok((await downloaded(name)).equals(bytesOf(expected.files.get(name))), name);
  assert.match(await page.textContent('#report'), /COEFICIENTE DE ARRASTO MÉDIO:/);
});

test('a refused value shows the program\'s Portuguese line at its field, and nothing runs', { skip: !page_file }, async () => {
  await setValue('IT', '5.0');
  const message = 'dados.txt:8: IT: ' + portuguese['expected an integer, found {}'].replace('{}', '"5.0"');
  assert.equal(await page.textContent('#field-IT .error'), message);
  assert.equal(await run(), message);
  await setValue('IT', '9');
  assert.equal(await page.textContent('#field-IT .error'), '');
});

test('two runs compared in one picture, kept with the edited data across a reload', { skip: !page_file }, async () => {
  await run();
  await setValue('NOME', 'aletas retas');
  await setValue('AC', '2');
  assert.match(await page.inputValue('#text'), /^'aletas retas'/);
  await run();
  await page.reload();
  await page.waitForFunction(() => document.querySelector('#v-IT').value !== '');
  assert.equal(await page.inputValue('#v-AC'), '2');
  assert.equal(await page.inputValue('#v-NOME'), "'aletas retas'");
  const names = await page.locator('#run-list .name').allTextContents();
  assert.deepEqual(names.slice(0, 2), ['aletas retas', 'foguete']);
  for (const id of await page.locator('#run-list input').evaluateAll((boxes) => boxes.slice(0, 2).map((b) => b.id)))
    await page.check('#' + id);
  await page.click('#compare');
  await page.waitForFunction(() => document.querySelector('#results-title').textContent === 'Comparação');
  const svg = await page.innerHTML('#picture');
  // Each curve with its M0, from the report that the page keeps beside it.
  assert.match(svg, />aletas retas \(M₀ = /);
  assert.match(svg, />foguete \(M₀ = /);
});

test('a long run shows its progress and can be cancelled, keeping the data', { skip: !page_file }, async () => {
  await setValue('IT', '3000000');
  await page.click('#start');
  await page.waitForFunction(() => document.querySelector('#progress').value > 0.05, null, { timeout: 60000 });
  await page.click('#cancel');
  assert.equal(await page.textContent('#status'), 'Cancelada.');
  assert.equal(await page.inputValue('#v-IT'), '3000000');
  await setValue('IT', '9');
  assert.match(await run(), /Pronto/);
});

test('at a phone\'s width nothing is wider than the screen', { skip: !page_file }, async () => {
  await page.setViewportSize({ width: 360, height: 740 });
  await page.screenshot({ path: join(shots, 'phone.png'), fullPage: true });
  const wide = await page.evaluate(() => [...document.querySelectorAll('body *')]
    .filter((e) => e.getBoundingClientRect().right > 361 && e.closest('#report') === null)
    .map((e) => e.tagName + '#' + e.id));
  assert.deepEqual(wide, []);
  assert.ok(await page.evaluate(() => document.documentElement.scrollWidth <= 360));
});
