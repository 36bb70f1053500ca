// The loop-check view (#loop) driven by real typing and tapping, every number it shows checked
// against kelvora-cli check and loop --reverse asked the same question during the test. One
// table of sheets and one of outputs, walked at both sizes; the fixture holds every page to
// its own files and its security policy.
import { test as base, expect } from '@playwright/test';
import { firstVisit } from './first_visit.mjs';
import { spawnSync } from 'node:child_process';
import { existsSync, readFileSync } from 'node:fs';
import { createRequire } from 'node:module';

const cliPath = process.env.KELVORA_CLI || ['dev', 'release']
  .map((p) => new URL(`../../build/${p}/app/kelvora-cli`, import.meta.url).pathname).find(existsSync);
const axeSource = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
const run = (...args) => spawnSync(cliPath, args.flat(), { encoding: 'utf8', env: { ...process.env, LANG: 'C' } });

// kelvora-cli check's sheet as the view shows it, a row of cells a point: percent, ℃, input,
// expected (and "饱和"), error %, error ℃, verdict; null when it refuses the question.
const sheet = (args) => {
  const r = run('check', args, '--format', 'csv');
  if (r.status !== 0 && r.status !== 3) return null;
  const [head, ...lines] = r.stdout.trim().split('\n').map((l) => l.split(','));
  return lines.map((cells) => {
    const c = Object.fromEntries(head.map((name, i) => [name.replace(/_(mV|ohm|mA|V)$/, ''), cells[i]]));
    return [c.percent, c.temperature_C, c.input, c.expected + (c.saturated === 'yes' ? '饱和' : ''),
      c.found_error_pct ?? '', c.found_error_C ?? '', { yes: '合格', no: '不合格' }[c.found_pass] ?? ''];
  });
};

// kelvora-cli loop --reverse's answer as the view shows it: the temperature and the state its
// standard error names (none: in range).
const states = [[/not a measurement/, '非测量值'], [/failure signal, low/, '故障（低）'],
  [/failure signal, high/, '故障（高）'], [/below range/, '低于量程'], [/above range/, '高于量程'], [/^$/, '量程内']];
const reverse = (args) => {
  const r = run('loop', '--reverse', args);
  return { OutputTemperature: r.stdout.trim(), OutputState: states.find(([re]) => re.test(r.stderr.trim()))[1] };
};

const test = base.extend({
  page: async ({ page, baseURL }, use) => {
    const foreign = [];
    page.on('request', (r) => r.url().startsWith(baseURL) || foreign.push(r.url()));
    await page.addInitScript(() => document.addEventListener('securitypolicyviolation',
      (e) => (window.violations ??= []).push(e.violatedDirective)));
    await page.goto('/#loop');
    await expect(page.locator('#Sheet tbody td').nth(0)).toHaveText('0.00');
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
// A step: [field, text] typed, [select, '=value'] picked, [check box] tapped.
const step = (page, [id, text]) => (text === undefined ? touch(page, id)
  : text.startsWith('=') ? page.selectOption(`#${id}`, text.slice(1)) : type(page, id, text));
const found = (values) => values.map((v, i) => [`Found${i}`, v]);

// What the view shows.
const shown = (page) => page.evaluate(() => ({
  rows: [...document.getElementById('Sheet').tBodies[0].rows].map((r) =>
    [...r.cells].filter((c) => !c.classList.contains('found')).map((c) => c.textContent)),
  notes: Object.fromEntries([...document.querySelectorAll('#LoopCheck .note')].map((n) => [n.id, n.textContent])),
  OutputTemperature: document.getElementById('OutputTemperature').textContent,
  OutputState: document.getElementById('OutputState').textContent,
}));

const K = [['CJ', '25'], ['URV', '500']];
const Kcli = ['K', '--range', '0,500', '--cj', '25'];
const upDown = ['4.01', '8.02', '12.03', '15.98', '20', '16.004', '11.99', '8', '3.984'];
// [what is typed, picked or tapped, kelvora-cli check's arguments, notes expected beside fields]
const sheets = [
  [K, Kcli],
  [[['SensorCode', 'Pt100'], ['R0', '100.02'], ['LRV', '-50'], ['URV', '150']], ['Pt100', '--r0', '100.02', '--range', '-50,150']],
  [[...K, ['UpDown'], ['Accuracy', '0.1'], ...found(upDown)],
    [...Kcli, '--updown', '--found', upDown.join(','), '--accuracy', '0.1']],
  [[...K, ['Points', '=-10,0,25,50,75,100,110']], [...Kcli, '--at', '-10,0,25,50,75,100,110']],
  [[['SensorCode', 'cu50'], ['URV', '120'], ['Signal', '=0-10V'], ['Points', '=3'], ...found(['0.02', '5', '9.9'])],
    ['cu50', '--range', '0,120', '--signal', '0-10V', '--points', '3', '--found', '0.02,5,9.9']],
  [[['LRV', '500'], ['URV', '0'], ['Accuracy', '0.2'], ...found(['20.05', '16', '12', '8.1', '3.9'])], // falling
    ['K', '--range', '500,0', '--accuracy', '0.2', '--found', '20.05,16,12,8.1,3.9']],
  [[['URV', '0']], ['K', '--range', '0,0'], { RangeNote: /不能相等/ }],
  [[['URV', '1500']], ['K', '--range', '0,1500'], { RangeNote: /1372/ }],
  [[['CJ', '-300']], ['K', '--range', '0,100', '--cj', '-300'], { CJNote: /-270/ }],
  [[['SensorCode', 'Pt-5']], ['Pt-5', '--range', '0,100'], { SensorCodeNote: /没有这种传感器/ }],
  [[['Accuracy', '-1']], ['K', '--range', '0,100', '--accuracy', '-1'], { AccuracyNote: /不小于 0/ }],
  [[...found(['4,5'])], ['K', '--range', '0,100'], { Found0Note: /不是数/ }],
];

for (const [steps, args, notes = {}] of sheets) {
  test(`sheet: ${steps.map((s) => s.join(' ')).join(', ')}`, async ({ page }) => {
    for (const s of steps) await step(page, s);
    const view = await shown(page);
    expect(view.rows).toEqual(sheet(args) ?? view.rows.map((r) => r.map(() => '')));
    for (const [id, note] of Object.entries(view.notes)) expect(note, id).toMatch(notes[id] ?? /^$/);
  });
}

// [signal, outputs read off the control system]: every NE 43 state of 4–20 mA, both
// saturation levels, and a voltage signal beyond both ends.
const outputs = [['4-20mA', ['3.6', '3.7', '3.8', '3.9', '12', '20.3', '20.5', '20.7', '21']], ['0-10V', ['-0.5', '10.5']]];
for (const [signal, values] of outputs) {
  test(`reverse ${signal}: ${values.join(' ')}`, async ({ page }) => {
    await step(page, ['URV', '500']);
    await step(page, ['Signal', `=${signal}`]);
    for (const v of values) {
      await type(page, 'Output', v);
      expect(await shown(page), v).toMatchObject(reverse([v, '--range', '0,500', '--signal', signal]));
    }
  });
}

test('found values kept while the fields above the sheet change', async ({ page }) => {
  for (const s of found(['4.01', '8', '12.02'])) await step(page, s);
  for (const s of [['URV', '500'], ['CJ', '20'], ['Signal', '=1-5V'], ['Points', '=3'], ['LRV', 'x'], ['LRV', '0'],
    ['Points', '=5'], ['UpDown'], ['SensorCode', 'Pt100']]) await step(page, s);
  const values = await page.$$eval('#Sheet input', (list) => list.map((e) => e.value));
  expect(values).toEqual(['4.01', '8', '12.02', '', '', '', '', '', '']);
  expect((await shown(page)).rows[2][4]).toBe(sheet(['Pt100', '--range', '0,500', '--signal', '1-5V', '--updown',
    '--found', '4.01,8,12.02,3,3,3,3,3,3'])[2][4]);
});

test('from the window and back, on a phone the sheet within its width and under the thumb', async ({ page, isMobile }) => {
  await page.goto('/');
  const [more, loop] = await Promise.all(['More', 'Loop'].map((id) => page.locator(`#${id}`).boundingBox()));
  expect([loop.y, loop.height >= 44]).toEqual([more.y, true]);
  await touch(page, 'Loop');
  for (const s of [...K, ['UpDown'], ['Accuracy', '0.1'], ['Points', '=-10,0,25,50,75,100,110'], ...found(upDown)]) await step(page, s);
  const fields = await page.$$eval('#LoopCheck input, #LoopCheck select', (list) => list.filter((e) => e.checkVisibility())
    .map((e) => [e.id, e.inputMode, e.getBoundingClientRect().height, parseFloat(getComputedStyle(e).fontSize)]));
  for (const [id, mode, height, font] of fields) {
    if (!['SensorCode', 'Signal', 'Points', 'UpDown'].includes(id)) expect(mode, id).toBe('decimal');
    if (isMobile && id !== 'UpDown') expect([height >= 44, font >= 16], id).toEqual([true, true]);
  }
  const widths = await page.evaluate(() => [document.scrollingElement.scrollWidth, innerWidth,
    Math.max(...[...document.querySelectorAll('#Sheet td')].map((c) => c.getBoundingClientRect().right))]);
  expect(widths[0]).toBe(widths[1]);
  expect(widths[2]).toBeLessThanOrEqual(widths[1]);
  await touch(page, 'Back');
  await expect(page.locator('#Form1')).toBeVisible();
  await expect(page.locator('#LoopCheck')).toHaveCount(0);
});

test('the code suggestions of both views: every code kelvora-cli lists, each one it takes', async ({ page }) => {
  const offered = await page.$$eval('#SensorCodes option', (list) => list.map((o) => o.value));
  expect(offered).toEqual(expect.arrayContaining(run('list').stdout.trim().split('\n').map((l) => l.split('\t')[0])));
  for (const code of offered) expect(run('slope', code, '0').status, code).toBe(0);
  await page.goto('/#more');
  await expect(page.locator('#SensorCode')).toHaveAttribute('list', 'SensorCodes');
  await page.goto('/#loop');
  await expect(page.locator('#SensorCode')).toHaveAttribute('list', 'SensorCodes');
});

test('no serious or critical accessibility finding on any view, the window all in landmarks', async ({ page }) => {
  const audit = () => page.evaluate(() => window.axe.run(document, { resultTypes: ['violations'] })
    .then((r) => r.violations.filter((v) => ['serious', 'critical'].includes(v.impact) || v.id === 'region').map((v) => v.id)));
  for (const [hash, steps] of [['', []], ['#more', [['SensorCode', 'Pt100']]],
    ['#loop', [...K, ['UpDown'], ['Accuracy', '0.1'], ...found(['4', 'x']), ['Output', '3.8']]], ['#loop', [['URV', '0']]]]) {
    await page.goto(`/${hash}`);
    await page.locator(['#Form1', '#Sensor', '#LoopCheck'][['', '#more', '#loop'].indexOf(hash)]).waitFor();
    await page.evaluate(axeSource);
    for (const s of steps) await step(page, s);
    expect(await audit(), hash || 'window').toEqual([]);
  }
});

test('working offline after the first visit', async ({ playwright }, testInfo) => {
  const { context, page } = await firstVisit(playwright, testInfo);
  await context.setOffline(true);
  await page.goto('/#loop');
  await page.reload();
  for (const s of K) await step(page, s);
  expect((await shown(page)).rows).toEqual(sheet(Kcli));
  await context.close();
});
