// The web app with the real controller, driven by real typing, pasting, tapping and picking,
// read back from the page. One table of scenarios, walked at both sizes; the one set-up is
// the fixture, which also holds every page to its own files and its security policy.
import { test as base, expect } from '@playwright/test';
import { firstVisit } from './first_visit.mjs';

const test = base.extend({
  page: async ({ page, context, baseURL }, use) => {
    const foreign = [];
    page.on('request', (r) => r.url().startsWith(baseURL) || foreign.push(r.url()));
    await page.addInitScript(() => document.addEventListener('securitypolicyviolation',
      (e) => (window.violations ??= []).push(e.violatedDirective)));
    await context.grantPermissions(['clipboard-read', 'clipboard-write']);
    await page.goto('/');
    await expect(page.locator('#Text3')).toHaveValue('0.000');
    await use(page);
    expect([foreign, await page.evaluate(() => window.violations)]).toEqual([[], undefined]);
  },
});

// What the window shows.
const state = (page) => page.evaluate(() => {
  const [el, s] = [(id) => document.getElementById(id), {}];
  for (const id of ['Text1', 'Text2', 'Text3']) s[id] = el(id).value;
  for (const id of ['Label7', 'Label8', 'Label9', 'Label10']) s[id] = el(id).textContent;
  s.sensor = el('Combo1').selectedIndex;
  s.Combo1 = el('Combo1').options[s.sensor].text;
  s.enabled = ['Text1', 'Option1', 'Option2'].filter((id) => !el(id).disabled);
  s.selected = ['Option1', 'Option2'].find((id) => el(id).checked);
  return s;
});

// A finger on a phone, the mouse elsewhere.
const touch = (page, id, force = false) =>
  (page.context()._options.hasTouch ? page.tap(`#${id}`, { force }) : page.click(`#${id}`, { force }));

const steps = {
  type: async (page, id, text) => { // replaces the box's text key by key
    await touch(page, id);
    await page.keyboard.press('ControlOrMeta+A');
    await page.keyboard.type(text);
  },
  paste: async (page, id, text, all = true) => { // from the clipboard, over the whole text
    await page.evaluate((t) => navigator.clipboard.writeText(t), text);
    if (id) await touch(page, id, true);
    if (all) await page.keyboard.press('ControlOrMeta+A');
    await page.keyboard.press('ControlOrMeta+V');
  },
  keys: async (page, moves) => { // through the list with the arrow keys, down if positive
    await page.focus('#Combo1');
    for (let i = 0; i < Math.abs(moves); ++i) await page.keyboard.press(moves > 0 ? 'ArrowDown' : 'ArrowUp');
  },
  pick: async (page, item) => { // opens the list with a click or a tap and picks
    await touch(page, 'Combo1');
    await page.selectOption('#Combo1', { label: item });
  },
  option: (page, id) => touch(page, id),
};

const all = ['Text1', 'Option1', 'Option2'];
const K = { Label7: '热电势', Label8: 'mV', Label9: '镍铬-镍硅热电偶', Label10: '温度测量范围 -270℃～1372℃', enabled: all };
const scenarios = [
  [[], { ...K, Text1: '0', Text2: '0', Text3: '0.000', Combo1: 'K', selected: 'Option2' }],
  [[['type', 'Text1', '20.000'], ['type', 'Text2', '100.004']], { Text1: '20.00', Text2: '100.00', Text3: '3.298' }],
  [[['paste', 'Text2', '1000.5 °C']], { Text2: '1000.5', Text3: '41.295' }],
  [[['paste', 'Text3', '4.0960000000']], { Text2: '99.96', Text3: '4.0960000000' }],
  [[['type', 'Text2', '100'], ['keys', 1]], { Combo1: 'N', Label9: '镍铬硅-镍硅热电偶', Text3: '2.774' }],
  [[['type', 'Text2', '100'], ['pick', 'J']], { Combo1: 'J', Text3: '5.269' }],
  [[['type', 'Text2', '100'], ['option', 'Option1'], ['type', 'Text1', '20']],
    { Text1: '20', Text2: '119.36', Text3: '4.096', selected: 'Option1' }],
  [[['type', 'Text2', '100'], ['option', 'Option1'], ['option', 'Option2'], ['type', 'Text1', '20']],
    { Text1: '20', Text2: '100', Text3: '3.298', selected: 'Option2' }],
  [[['option', 'Option1'], ['type', 'Text1', '-300']], { Text1: 't0超限' }],
  [[['type', 'Text2', '100'], ['pick', 'Pt100']],
    { Combo1: 'Pt100', Label7: '电阻值', Label8: 'Ω', Text1: '0', Text3: '138.51', enabled: [] }],
  [[['type', 'Text1', '20'], ['pick', 'Pt100'], ['type', 'Text3', '100'], ['pick', 'K']],
    { ...K, Text1: '0', Text2: '0.00', Text3: '0.000' }],
  [[['pick', 'Pt100'], ['type', 'Text3', '20']], { Text2: '-196.57' }], // seven characters, whole
];

for (const [script, expected] of scenarios) {
  test(script.map((s) => s.join(' ')).join(', ') || 'start-up', async ({ page }) => {
    for (const [kind, ...args] of script) await steps[kind](page, ...args);
    expect(await state(page)).toMatchObject(expected);
  });
}

test('tab order and layout', async ({ page, isMobile }) => {
  const order = [];
  await page.focus('#Text1');
  for (let i = 0; i < 5; ++i, await page.keyboard.press('Tab')) order.push(await page.evaluate(() => document.activeElement.id));
  expect(order).toEqual(['Text1', 'Text2', 'Text3', 'Combo1', 'Option2']);
  const [t1, t2, ...rest] = await page.$$eval('input, select', (list) => list.map((e) => {
    const r = (e.closest('.option') || e).getBoundingClientRect();
    return { id: e.id, x: r.x, y: r.y, h: r.height, font: parseFloat(getComputedStyle(e).fontSize), mode: e.inputMode };
  }));
  for (const b of [t1, t2, ...rest]) {
    expect(b.mode === 'decimal', b.id).toBe(b.id.startsWith('Text'));
    if (isMobile) expect([b.h >= 44, b.font >= 16 || b.id.startsWith('Option')], b.id).toEqual([true, true]);
  }
  // As designed, Text1 sits 8 design pixels right of Text2 and 47 above it; a phone stacks them.
  if (isMobile) expect(t2.y).toBeGreaterThan(t1.y + 44);
  else expect([t1.x - t2.x, t2.y - t1.y]).toEqual([16, 94]);
});

test('installable, and working offline after the first visit', async ({ playwright }, testInfo) => {
  const { context, page } = await firstVisit(playwright, testInfo);
  const cdp = await context.newCDPSession(page);
  expect((await cdp.send('Page.getInstallabilityErrors')).installabilityErrors).toEqual([]);
  await context.setOffline(true);
  await page.reload();
  await steps.type(page, 'Text2', '100');
  expect(await state(page)).toMatchObject({ Text2: '100', Text3: '4.096' });
  await context.close();
});

// What the controller may write into Text<box + 1> for a sensor, as in the desktop monkey tests.
const fixed = (text, decimals, sign) => new RegExp(`^${sign ? '-?' : ''}\\d+\\.\\d{${decimals}}$`).test(text);
const written = (box, text, sensor, tc = sensor < 8) => (box === 0 ? text === (tc ? 't0超限' : '0')
  : text === '计算错误' || (box === 1 ? fixed(text, 2, true) || text === (tc ? 'mV超限' : 'Ω超限')
    : fixed(text, tc ? 3 : 2, tc) || text === '温度超限'));

test('random real input keeps the window consistent', async ({ page }) => {
  const seed0 = Number(process.env.KELVORA_MONKEY_SEED || 20261208);
  let seed = seed0;
  const random = () => { // mulberry32
    let t = Math.imul((seed = (seed + 0x6d2b79f5) | 0) ^ (seed >>> 15), 1 | seed);
    t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
  const pick = (list) => list[Math.floor(random() * list.length)];
  const text = (n) => Array.from({ length: n }, () => pick('0123456789.-+eE, 0123456789aZ温度超限Ω℃～')).join('');
  const ids = ['Text1', 'Text2', 'Text3'], limits = [5, 6, Infinity], trail = [];
  for (let n = 0; n < Number(process.env.KELVORA_MONKEY_EVENTS || 1500); ++n) {
    const before = await state(page);
    const what = pick(['key', 'key', 'key', 'key', 'Backspace', 'paste', 'focus', 'list', 'option']);
    const event = { key: text(1), paste: text(1 + Math.floor(random() * 9)), focus: pick(ids),
      list: pick([1, -1, 2]), option: pick(['Option1', 'Option2']) }[what];
    if (what === 'key') await page.keyboard.insertText(event);
    if (what === 'Backspace') await page.keyboard.press(what);
    if (what === 'paste') await steps.paste(page, random() < 0.5 && pick(ids), event, random() < 0.5);
    if (what === 'focus' || what === 'option') await touch(page, event, true);
    if (what === 'list') await steps.keys(page, event);
    const target = ids.indexOf(await page.evaluate(() => document.activeElement.id));
    trail.push(`${what} ${event ?? ''} → ${ids[target] ?? 'no box'}`);
    const now = await state(page), tc = now.sensor < 8;
    const why = `event ${n}, seed ${seed0}: ${trail.slice(-8).join(' | ')}`;
    const edit = ['key', 'Backspace', 'paste'].includes(what);
    ids.forEach((id, i) => {
      if (now[id] === before[id]) return;
      expect(edit || now.sensor !== before.sensor, `${id} changed by itself: ${why}`).toBe(true);
      if (i === target && edit && !(i === 0 && now[id] === 't0超限'))
        expect(now[id].length <= limits[i] || now[id].length < before[id].length, `${id} took too much: ${why}`).toBe(true);
      else expect(written(i, now[id], now.sensor), `${id} "${now[id]}": ${why}`).toBe(true);
    });
    expect([now.enabled, tc || now.Text1], why).toEqual([tc ? all : [], tc || '0']);
    const out = !tc || now.selected === 'Option2' ? 2 : 1;
    if (now.sensor !== before.sensor && !(out === 1 && now.Text1 === 't0超限'))
      expect(written(out, now[ids[out]], now.sensor), `Text${out + 1} "${now[ids[out]]}": ${why}`).toBe(true);
  }
});
