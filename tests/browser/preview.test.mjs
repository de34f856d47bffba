// The served preview page in a real browser: the activity appears, a click
// on the badge pauses the queue (the page shows "Paused" and offers resume),
// a second click resumes it, a click elsewhere on the island shows the deep
// link it opened, and a pasted state that the platform refuses shows why.
//
//   node preview.test.mjs PATH/TO/download-app
//
// Runs Debian's chromium headless on loopback only; ends within a minute.
import { spawn } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import assert from 'node:assert/strict';
import { chromium } from 'playwright-core';

const program = process.argv[2] || process.env.DOWNLOAD_APP;
if (!program) {
  console.error('usage: node preview.test.mjs PATH/TO/download-app');
  process.exit(64);
}

// One long download so that the badge stays a button while we click.
const queue = JSON.stringify({
  apps: [{ name: 'Orbit Maps', size: 2147483648 }],
  bytesPerSecond: 10485760,
  queuedSeconds: 1,
});

const overall = setTimeout(() => {
  console.error('FAIL: the browser test took over 60 seconds');
  process.exit(1);
}, 60000);

function startServer() {
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
  const exited = new Promise((resolve) => server.on('exit', (code, signal) => resolve({ code, signal, output })));
  return { server, url, exited, output: () => output };
}

const { server, url, exited, output } = startServer();
const profile = mkdtempSync(join(tmpdir(), 'preview-profile-'));
let context;
try {
  const address = await url;
  context = await chromium.launchPersistentContext(profile, {
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  const page = context.pages()[0] || await context.newPage();
  page.setDefaultTimeout(15000);
  await page.goto(address);

  const status = page.locator('#status');
  const badge = page.locator('#lock-screen .hit');

  await page.fill('#queue', queue);
  await page.click('#start');
  await page.locator('#lock-screen svg').waitFor();
  await status.filter({ hasText: 'Downloading' }).waitFor();
  console.log('ok - the activity appears and downloads:', await status.textContent());

  await badge.click();
  await status.filter({ hasText: 'Paused' }).waitFor();
  assert.equal(await badge.getAttribute('data-intent'), 'ResumeDownloadsIntent');
  assert.match(await page.locator('#link').textContent(), /PauseDownloadsIntent/);
  console.log('ok - a click on the badge pauses:', await status.textContent());

  await badge.click();
  await status.filter({ hasText: 'Downloading' }).waitFor();
  await page.locator('#lock-screen .hit[data-intent="PauseDownloadsIntent"]').waitFor();
  console.log('ok - a second click resumes:', await status.textContent());

  await page.click('#compact', { position: { x: 20, y: 20 } });
  await page.locator('#link', { hasText: 'opened plumara://downloads' }).waitFor();
  console.log('ok - a click on the island opens the deep link');

  await page.fill('#state', '{"currentDownload": 1}');
  await page.click('#push');
  await page.locator('#error', { hasText: 'refused: decodingFailed' }).waitFor();
  assert.match(await status.textContent(), /Downloading/);
  console.log('ok - a refused state shows its error and the display stays');

  server.kill('SIGTERM');
  const end = await exited;
  assert.equal(end.code, 0, `serve ended with ${end.code} ${end.signal}`);
  assert.match(end.output, /stopped/);
  console.log('ok - serve stops cleanly on SIGTERM');
  console.log('PASS');
} catch (error) {
  console.error('FAIL:', error.message);
  console.error(output());
  process.exitCode = 1;
} finally {
  if (context) await context.close();
  if (server.exitCode === null) server.kill('SIGKILL');
  rmSync(profile, { recursive: true, force: true });
  clearTimeout(overall);
}
