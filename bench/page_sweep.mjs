// The page against the console program on the same million-point sweep,
// side by side in one run, alternating: the page in headless chromium
// (opened from the disk, the sweep timed inside its worker: arrasto alone,
// then arrasto-grafico drawing the curve; and the whole run from the button
// to the picture on screen), and the Linux arrasto as a whole process in a
// scratch folder. The first page run of a million points also takes its
// memory for the files from the system; the later ones reuse it. Also the
// time from pressing the button to the example's picture on screen, and
// the module's memory after the run.
//
//   node bench/page_sweep.mjs build/web/arrasto-1.1.0.html build/default/src/arrasto [IT] [ROUNDS]
// (with web/node_modules installed: cd web && npm ci)

import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { chromium } from '../web/node_modules/playwright-core/index.mjs';

const [pageFile, nativeProgram, points = '1000000', rounds = '5'] = process.argv.slice(2);
const example = readFileSync(new URL('../example/dados.txt', import.meta.url), 'utf8');
const sweep = example.replace(/^9(?=\s)/m, points);
const median = (xs) => [...xs].sort((a, b) => a - b)[Math.floor(xs.length / 2)];

const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
    '--disable-component-update', '--disable-sync'],
});
const page = await browser.newPage();
await page.goto('file://' + resolve(pageFile));
await page.waitForFunction(() => document.querySelector('#v-IT').value !== '');

async function pageRun(text) {
  await page.evaluate((t) => { document.querySelector('#status').textContent = ''; delete document.body.dataset.timings; }, null);
  await page.fill('#text', text);
  await page.dispatchEvent('#text', 'input');
  const pressed = Date.now();
  await page.click('#start');
  await page.waitForFunction(() => document.body.dataset.timings, null, { timeout: 120000, polling: 100 });
  return { ...JSON.parse(await page.evaluate(() => document.body.dataset.timings)), screen: Date.now() - pressed };
}

const folder = mkdtempSync(join(tmpdir(), 'arrasto-bench-'));
writeFileSync(join(folder, 'dados.txt'), sweep);
function nativeRun() {
  const began = process.hrtime.bigint();
  execFileSync(resolve(nativeProgram), [], { cwd: folder, env: { PATH: folder } });
  return Number(process.hrtime.bigint() - began) / 1e6;
}

const example_screen = [];
for (let i = 0; i < Number(rounds); ++i) example_screen.push((await pageRun(example)).screen);
const web = [], draw = [], whole = [], native = [], memory = [];
nativeRun(); // the page cache warm for both
for (let i = 0; i < Number(rounds); ++i) {
  const t = await pageRun(sweep);
  web.push(t.arrasto);
  draw.push(t.grafico);
  whole.push(t.screen);
  memory.push(t.memory);
  native.push(nativeRun());
}
await browser.close();
rmSync(folder, { recursive: true });
const f = (x) => x.toFixed(0);
console.log(`IT = ${points}, ${rounds} rounds, medians:`);
console.log(`  page, arrasto in the worker: ${f(median(web))} ms (${web.map(f).join(' ')})`);
console.log(`  native arrasto, whole process: ${f(median(native))} ms (${native.map(f).join(' ')})`);
console.log(`  page / native: ${(median(web) / median(native)).toFixed(2)}`);
console.log(`  page, arrasto-grafico drawing the curve: ${f(median(draw))} ms`);
console.log(`  page, button to picture on screen: ${f(median(whole))} ms (${whole.map(f).join(' ')})`);
console.log(`  module memory after the run: ${(Math.max(...memory) / 2 ** 20).toFixed(0)} MiB`);
console.log(`  example, button to picture on screen: ${f(median(example_screen))} ms (${example_screen.map(f).join(' ')})`);
