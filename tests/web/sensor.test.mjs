// The sensor view (#more) driven by real typing and tapping, every number it shows checked
// against kelvora-cli asked the same question during the test. One table of scenarios, walked
// at both sizes; the fixture holds every page to its own files and its security policy.
import { test as base, expect } from '@playwright/test';
import { firstVisit } from './first_visit.mjs';
import { spawnSync } from 'node:child_process';
import { existsSync, readFileSync } from 'node:fs';
import { createRequire } from 'node:module';

const cliPath = process.env.KELVORA_CLI || ['dev', 'release']
  .map((p) => new URL(`../../build/${p}/app/kelvora-cli`, import.meta.url).pathname).find(existsSync);
const axeSource = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');

// kelvora-cli's answer as the view shows it: its output, "超出范围" for exit status 1, and
// null for a question it refuses (status 2: no such sensor, class or certificate).
const cli = (...args) => {
  const r = spawnSync(cliPath, args.flat(), { encoding: 'utf8', env: { ...process.env, LANG: 'C' } });
  return [r.stdout.trim(), '超出范围', null][r.status];
};

const test = base.extend({
  page: async ({ page, context, baseURL }, use) => {
    const foreign = [];
    page.on('request', (r) => r.url().startsWith(baseURL) || foreign.push(r.url()));
    await page.addInitScript(() => document.addEventListener('securitypolicyviolation',
      (e) => (window.violations ??= []).push(e.violatedDirective)));
    await page.goto('/#more');
    await expect(page.locator('#Reading')).toHaveValue('0.000');
    await use(page);
    expect([foreign, await page.evaluate(() => window.violations)]).toEqual([[], undefined]);
  },
});

const touch = (page, id) => (page.context()._options.hasTouch ? page.tap(`#${id}`) : page.click(`#${id}`));
const type = async (page, id, text) => {
  await touch(page, id);
  await page.keyboard.press('ControlOrMeta+A');
  await (text ? page.keyboard.type(text) : page.keyboard.press('Backspace'));
};

// What the view shows.
const shown = (page) => page.evaluate(() => {
  const el = (id) => document.getElementById(id);
  return {
    Temperature: el('Temperature').value, Reading: el('Reading').value, Slope: el('Slope').textContent,
    rows: [...el('Tolerance').tBodies[0].rows].map((r) =>
      [r.dataset.class, r.dataset.element, ...[...r.cells].slice(1).map((c) => c.textContent)]),
    notes: Object.fromEntries([...document.querySelectorAll('#Sensor .note')].map((n) => [n.id, n.textContent])),
  };
});

// What kelvora-cli says about sensor (its arguments) at the typed temperature or reading.
const expected = (sensor, at) => {
  const cj = sensor.includes('--cj') ? sensor.slice(sensor.indexOf('--cj'), sensor.indexOf('--cj') + 2) : [];
  const own = sensor.filter((a) => !cj.includes(a) && a !== '--exact'); // what slope and tol take
  if (cli('slope', own, '0') === null) return { Reading: '', Slope: '', rows: [] }; // refused
  const t = at.temperature ?? cli('temp', sensor, at.reading, '--digits', '15');
  const found = t !== '超出范围', element = (e) => (e ? ['--element', e] : []);
  const rows = (/^pt/i.test(sensor[0]) ? ['wire', 'film'].flatMap((e) => ['AA', 'A', 'B', 'C'].map((c) => [c, e]))
    : ['1', '2', '3', 'AA', 'A', 'B', 'C'].map((c) => [c, '']))
    .filter(([c, e]) => cli('tol', own, '0', '--class', c, element(e)) !== null) // the classes it has
    .map(([c, e]) => [c, e, ...(found ? cli('tol', own, t, '--class', c, element(e)) : t).split(' ')]);
  return {
    Temperature: at.temperature ?? cli('temp', sensor, at.reading), Slope: found ? cli('slope', own, t) : t, rows,
    Reading: at.reading ?? cli(/^[SRBKNEJT]$/i.test(sensor[0]) ? 'emf' : 'res', own, cj, t),
  };
};

// [what is typed (field, text) or tapped (field), kelvora-cli's sensor arguments, the typed
// temperature or reading, notes expected beside the fields]
const scenarios = [
  [[['SensorCode', 'Pt1000'], ['Temperature', '100']], ['Pt1000'], { temperature: '100' }],
  [[['SensorCode', 'pt100'], ['R0', '100.02'], ['CvdA', '3.9092E-3'], ['CvdB', '-5.802E-7'], ['CvdC', '-4.21E-12'],
    ['Temperature', '-50']], ['pt100', '--r0', '100.02', '--cvd', '3.9092E-3,-5.802E-7,-4.21E-12'], { temperature: '-50' }],
  [[['SensorCode', 'Pt100'], ['CvdB', '-5.9E-7'], ['Reading', '250']], ['Pt100', '--cvd', '3.9083E-3,-5.9E-7,-4.183E-12'],
    { reading: '250' }],
  [[['CJ', '25'], ['Temperature', '250']], ['K', '--cj', '25'], { temperature: '250' }],
  [[['CJ', '25'], ['Reading', '9.8']], ['K', '--cj', '25'], { reading: '9.8' }],
  [[['Reading', '-6.2']], ['K'], { reading: '-6.2' }, { ReadingNote: /精确反算/ }],
  [[['Exact'], ['Reading', '-6.2']], ['K', '--exact'], { reading: '-6.2' }],
  [[['SensorCode', 'B'], ['Exact'], ['Reading', '-0.0001']], ['B', '--exact'], { reading: '-0.0001' }, { ReadingNote: /两个温度/ }],
  [[['Temperature', '1100']], ['K'], { temperature: '1100' }],
  [[['SensorCode', 't'], ['Temperature', '-100']], ['t'], { temperature: '-100' }],
  [[['SensorCode', 'Pt100'], ['Temperature', '500']], ['Pt100'], { temperature: '500' }],
  [[['SensorCode', 'Cu50'], ['Temperature', '149.99']], ['Cu50'], { temperature: '149.99' }],
  [[['SensorCode', 'Ni1000'], ['Temperature', '60']], ['Ni1000'], { temperature: '60' }],
  [[['Temperature', '2000']], ['K'], { temperature: '2000' }, { TemperatureNote: /超出范围/ }],
  [[['SensorCode', 'Pt-5']], ['Pt-5'], { temperature: '0' }, { SensorCodeNote: /没有这种传感器/ }],
  [[['SensorCode', 'Pt100'], ['R0', '0']], ['Pt100', '--r0', '0'], { temperature: '0' }, { R0Note: /大于 0/ }],
];

for (const [steps, sensor, at, notes = {}] of scenarios) {
  test(steps.map((s) => s.join(' ')).join(', '), async ({ page }) => {
    for (const [id, text] of steps) await (text === undefined ? touch(page, id) : type(page, id, text));
    const view = await shown(page);
    expect(view).toMatchObject(expected(sensor, at));
    for (const [id, note] of Object.entries(view.notes)) expect(note, id).toMatch(notes[id] ?? /^$/);
  });
}

test('from the window and back, each field labelled, for a thumb on a phone', async ({ page, isMobile }) => {
  const tall = async (id) => expect((await page.locator(`#${id}`).boundingBox()).height, id).toBeGreaterThanOrEqual(44);
  await page.goto('/');
  await expect(page.locator('#Text3')).toHaveValue('0.000');
  await tall('More');
  await touch(page, 'More');
  await expect(page.locator('#Sensor')).toBeVisible();
  await tall('Back');
  for (const code of ['K', 'Pt100']) { // every field shows for one of the two
    await type(page, 'SensorCode', code);
    const fields = await page.$$eval('#Sensor input', (list) => list.filter((e) => e.checkVisibility()).map((e) =>
      [e.id, e.inputMode, (e.closest('label') || e).getBoundingClientRect().height, parseFloat(getComputedStyle(e).fontSize)]));
    for (const [id, mode, height, font] of fields) {
      expect(mode === 'decimal', id).toBe(!['SensorCode', 'Exact'].includes(id));
      if (isMobile) expect([height >= 44, font >= 16 || id === 'Exact'], id).toEqual([true, true]);
    }
  }
  await touch(page, 'Back');
  await expect(page.locator('#Form1')).toBeVisible();
  await expect(page.locator('#Sensor')).toBeHidden();
  await expect(page.locator('#Text3')).toHaveValue('0.000');
});

test('no serious or critical accessibility finding', async ({ page }) => {
  await page.evaluate(axeSource);
  for (const code of ['K', 'Pt100', 'Ni1000', 'X']) {
    await type(page, 'SensorCode', code);
    const found = await page.evaluate(() => window.axe.run(document, { resultTypes: ['violations'] })
      .then((r) => r.violations.filter((v) => ['serious', 'critical'].includes(v.impact)).map((v) => v.id)));
    expect(found, code).toEqual([]);
  }
});

test('working offline after the first visit', async ({ playwright }, testInfo) => {
  const { context, page } = await firstVisit(playwright, testInfo);
  await context.setOffline(true);
  await page.goto('/#more');
  await page.reload();
  await type(page, 'SensorCode', 'Pt1000');
  await type(page, 'Temperature', '100');
  expect(await shown(page)).toMatchObject({ Reading: cli('res', 'Pt1000', '100') });
  await context.close();
});
