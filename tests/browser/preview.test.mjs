// The served preview page in a real browser: the activity appears, a click
// on the badge pauses the queue (the page shows "Paused" and offers resume),
// a second click resumes it, a click elsewhere on the island shows the deep
// link it opened, and a pasted state that the platform refuses shows why.
// For a downloading, a paused and a done state, the pixels the page shows
// of each of the four presentations match `render` of the same state.
// Runs Debian's chromium headless on loopback only; ends within 90 seconds.
import { spawn, execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import assert from 'node:assert/strict';
import { chromium } from 'playwright-core';

const program = process.argv[2];
if (!program) {
  console.error('usage: node preview.test.mjs PATH/TO/download-app');
  process.exit(64);
}

// One long download so that the badge stays a button while we click.
const queue = JSON.stringify({ apps: [{ name: 'Orbit Maps', size: 2147483648 }], bytesPerSecond: 10485760,
  queuedSeconds: 1 });

const overall = setTimeout(() => { console.error('FAIL: the browser test took over 90 seconds'); process.exit(1); },
  90000);

const presentations = ['lock-screen', 'expanded', 'compact', 'minimal'];
const work = mkdtempSync(join(tmpdir(), 'preview-pictures-'));

// Waits by asking the page from here, a fresh `evaluate` of the function
// `look` each time, until it answers { done: true }. The page's policy
// (script-src 'self') forbids evaluating strings, and waitForFunction does
// that when it polls inside the page, so it fails whenever its first look
// does. A wait that runs out says what it waited for and what it saw last.
const patience = 15000;
async function until(page, what, look, arg) {
  const deadline = Date.now() + patience;
  for (;;) {
    const { done, seen } = await page.evaluate(look, arg);
    if (done) return;
    if (Date.now() > deadline) throw new Error(`waited ${patience / 1000} s for ${what}; saw ${seen}`);
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}

// Waits until the first element `selector` matches has `value` in its text,
// or in its attribute `attribute` when one is named.
const shows = (page, selector, value, attribute) => until(page,
  `${selector}${attribute ? ` ${attribute}` : ''} to show "${value}"`, ([selector, value, attribute]) => {
    const element = document.querySelector(selector);
    const seen = element && (attribute ? element.getAttribute(attribute) : element.textContent);
    return { done: Boolean(seen?.includes(value)), seen: element ? JSON.stringify(seen) : `no ${selector}` };
  }, [selector, value, attribute]);

// The page's pixels of each presentation against `render` of the state the
// page shows, drawn at the same date; both composed on the page's background.
async function comparePictures(page, decoder, address, label) {
  const snapshot = await (await fetch(new URL('/snapshot', address))).json();
  await until(page, `the four pictures of version ${snapshot.version}, loaded`, ([version, count]) => {
    const images = [...document.querySelectorAll('.picture img')];
    return { done: images.length === count && images.every((image) => image.complete && image.dataset.version === version),
      seen: images.map((image) => `${image.alt} ${image.dataset.version ?? 'unloaded'}${image.complete ? '' : ' loading'}`)
        .join(', ') || 'no pictures' };
  }, [String(snapshot.version), presentations.length]);
  await page.mouse.move(1, 1);  // no hover outline over a picture
  const stateFile = join(work, 'state.json');
  writeFileSync(stateFile, snapshot.state);
  for (const name of presentations) {
    const shown = await page.locator(`#${name} img`).screenshot({ scale: 'device' });
    const renderFile = join(work, `${name}.png`);
    execFileSync(program, ['render', stateFile, '--presentation', name, '--format', 'png', '--scale', '2',
      '--now', String(snapshot.date), '-o', renderFile]);
    const difference = await decoder.evaluate(async ([a, b]) => {
      const pixels = async (base64) => {
        const bytes = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
        const bitmap = await createImageBitmap(new Blob([bytes], { type: 'image/png' }));
        const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
        const context = canvas.getContext('2d');
        context.fillStyle = '#1c1c1e';
        context.fillRect(0, 0, bitmap.width, bitmap.height);
        context.drawImage(bitmap, 0, 0);
        return { width: bitmap.width, height: bitmap.height, data: context.getImageData(0, 0, bitmap.width, bitmap.height).data };
      };
      const [x, y] = [await pixels(a), await pixels(b)];
      if (x.width !== y.width || x.height !== y.height) return { size: `${x.width}x${x.height} vs ${y.width}x${y.height}` };
      let [far, total] = [0, 0];
      for (let i = 0; i < x.data.length; i += 4) {
        let most = 0;
        for (let c = 0; c < 3; c++) most = Math.max(most, Math.abs(x.data[i + c] - y.data[i + c]));
        total += most;
        if (most > 48) far++;
      }
      return { far: far / (x.data.length / 4), mean: total / (x.data.length / 4) };
    }, [shown.toString('base64'), readFileSync(renderFile).toString('base64')]);
    assert.ok(!difference.size, `${label} ${name}: the page shows ${difference.size}`);
    assert.ok(difference.far < 0.001 && difference.mean < 0.5,
      `${label} ${name}: ${(difference.far * 100).toFixed(2)}% of pixels differ, mean ${difference.mean.toFixed(2)}`);
  }
  console.log(`ok - the page's four pictures of the ${label} state match render`);
}

async function pushState(page, state) {
  await page.fill('#state', JSON.stringify(state));
  await page.click('#push');
}

const server = spawn(program, ['serve', '--listen', '127.0.0.1:0'], { stdio: ['ignore', 'pipe', 'inherit'] });
let output = '';
const url = new Promise((resolve, reject) => {
  server.stdout.on('data', (chunk) => {
    output += chunk;
    const found = output.match(/serving (http:\/\/127\.0\.0\.1:\d+\/)/);
    if (found) resolve(found[1]);
  });
  server.on('exit', (code) => reject(new Error(`serve exited with ${code}: ${output}`)));
  server.on('error', reject);
});
const profile = mkdtempSync(join(tmpdir(), 'preview-profile-'));
let context;
try {
  const address = await url;
  context = await chromium.launchPersistentContext(profile, {
    executablePath: '/usr/bin/chromium',
    headless: true,
    deviceScaleFactor: 2,
    viewport: { width: 1400, height: 1000 },
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  const page = context.pages()[0] || await context.newPage();
  page.setDefaultTimeout(patience);
  const decoder = await context.newPage();  // decodes PNGs; the page stays in front
  await page.bringToFront();
  await page.goto(address);

  const status = page.locator('#status');
  const badge = page.locator('#lock-screen .hit');

  await page.fill('#queue', queue);
  await page.click('#start');
  await shows(page, '#lock-screen img', 'lock-screen', 'alt');
  await shows(page, '#status', 'Downloading');
  console.log('ok - the activity appears and downloads:', await status.textContent());
  await shows(page, '#findings', 'tapTarget · lock-screen · lockScreen/VStack/HStack[0]/Button[0] · 28 × 28 pt');
  console.log('ok - the audit lists the badge as too small to tap');

  await badge.click();
  await shows(page, '#status', 'Paused');
  assert.equal(await badge.getAttribute('data-intent'), 'ResumeDownloadsIntent');
  assert.match(await page.locator('#link').textContent(), /PauseDownloadsIntent/);
  console.log('ok - a click on the badge pauses:', await status.textContent());

  await badge.click();
  await shows(page, '#status', 'Downloading');
  await shows(page, '#lock-screen .hit', 'PauseDownloadsIntent', 'data-intent');
  console.log('ok - a second click resumes:', await status.textContent());

  await page.click('#compact', { position: { x: 20, y: 20 } });
  await shows(page, '#link', 'opened plumara://downloads');
  console.log('ok - a click on the island opens the deep link');

  await pushState(page, { currentDownload: 1 });
  await shows(page, '#error', 'refused: decodingFailed');
  assert.match(await status.textContent(), /Downloading/);
  console.log('ok - a refused state shows its error and the display stays');

  // Paused by the badge, the app pushes nothing more: the states below stay.
  await badge.click();
  await shows(page, '#status', 'Paused');
  await comparePictures(page, decoder, address, 'paused');
  const state = JSON.parse((await (await fetch(new URL('/snapshot', address))).json()).state);
  await pushState(page, { ...state, isPaused: false, phase: 'downloading', bytesPerSecond: 12582912,
    overallProgress: 0.42, totalBytesDownloaded: Math.round(state.totalBytesExpected * 0.42),
    estimatedCompletionDate: state.lastUpdateTime + 754 });
  await shows(page, '#status', 'Downloading');
  await comparePictures(page, decoder, address, 'downloading');
  await pushState(page, { ...state, isPaused: false, isCompleted: true, phase: 'completed', overallProgress: 1,
    bytesPerSecond: 0, totalBytesDownloaded: state.totalBytesExpected });
  await shows(page, '#status', 'Done');
  await comparePictures(page, decoder, address, 'done');

  console.log('PASS');
} catch (error) {
  console.error('FAIL:', error.message);
  console.error(output);
  process.exitCode = 1;
} finally {
  if (context) await context.close();
  if (server.exitCode === null) server.kill('SIGTERM');
  rmSync(profile, { recursive: true, force: true });
  rmSync(work, { recursive: true, force: true });
  clearTimeout(overall);
}
