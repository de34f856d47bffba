#include "platform/host/play/PreviewPage.h"

namespace Host {

std::string_view previewPage() {
  return R"html(<!doctype html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>Live Activity preview</title>
<link rel="stylesheet" href="/preview.css">
<script src="/preview.js" defer></script>
</head>
<body>
<h1>Live Activity preview</h1>
<p>Status: <span id="status">no activity yet</span> <span id="activity-state"></span></p>
<div class="pictures">
  <figure><figcaption>Lock screen</figcaption><div class="picture" id="lock-screen"></div></figure>
  <figure><figcaption>Expanded island</figcaption><div class="picture" id="expanded"></div></figure>
  <figure><figcaption>Compact island</figcaption><div class="picture" id="compact"></div></figure>
  <figure><figcaption>Minimal island</figcaption><div class="picture" id="minimal"></div></figure>
</div>
<p>Tap result: <span id="link">none</span></p>
<div id="panel">
  <div>
    <div>Queue (JSON; empty for the built-in queue)</div>
    <textarea id="queue" placeholder='{"apps": [{"name": "Quill", "size": 23068672}]}'></textarea><br>
    <button class="control" id="start">Start queue</button>
  </div>
  <div>
    <div>Content state (JSON)</div>
    <textarea id="state"></textarea><br>
    <button class="control" id="push">Push state</button>
    <div id="error"></div>
  </div>
</div>
</body>
</html>
)html";
}

std::string_view previewStyle() {
  return R"css(body { font: 14px system-ui, sans-serif; background: #1c1c1e; color: #eee; margin: 24px; }
h1 { font-size: 18px; margin: 0 0 16px; }
.pictures { display: flex; flex-wrap: wrap; gap: 24px; align-items: flex-start; }
figure { margin: 0; }
figcaption { color: #999; margin-bottom: 6px; }
.picture { position: relative; cursor: pointer; line-height: 0; }
.picture img { display: block; }
.hit { position: absolute; background: transparent; border: 0; padding: 0; cursor: pointer; }
.hit:hover { outline: 2px dashed #0a84ff; border-radius: 50%; }
#panel { display: flex; gap: 24px; margin-top: 24px; flex-wrap: wrap; }
textarea { width: 460px; height: 160px; background: #2c2c2e; color: #eee; border: 1px solid #444; font: 12px monospace; }
button.control { margin: 6px 6px 0 0; }
#error { color: #ff6961; white-space: pre-wrap; }
#link { color: #64d2ff; }
#status { font-size: 16px; }
)css";
}

std::string_view previewScript() {
  return R"js('use strict';
// Every request names this page's own server; whatever changes something
// is sent as JSON, which another site cannot send here.
function show(id, text) { document.getElementById(id).textContent = text; }

async function post(path, body) {
  const response = await fetch(path, {
    method: 'POST', headers: { 'Content-Type': 'application/json' }, body: body || '',
  });
  let answer = {};
  try { answer = await response.json(); } catch (e) { answer = { error: 'no answer' }; }
  return { ok: response.ok, answer };
}

async function tap(name, x, y) {
  const { answer } = await post('/tap', JSON.stringify({ presentation: name, x, y }));
  if (answer.intent) show('link', `ran ${answer.intent}`);
  else if (answer.opened) show('link', `opened ${answer.opened}`);
  else show('link', answer.error || 'nothing to tap there');
}

// Each picture is a PNG of its own, a point a CSS pixel (sharp at 2x).
function draw(picture, version) {
  const box = document.getElementById(picture.name);
  let image = box.querySelector('img');
  if (!image) {
    image = document.createElement('img');
    image.alt = picture.name;
    box.appendChild(image);
  }
  image.style.width = `${picture.width}px`;
  image.style.height = `${picture.height}px`;
  image.onload = () => { image.dataset.version = version; };
  image.src = picture.src;
  box.style.width = image.style.width;
  // Tap targets are kept and moved, so that one under the pointer stays.
  const hits = [...box.querySelectorAll('.hit')];
  for (const extra of hits.splice(picture.buttons.length)) extra.remove();
  picture.buttons.forEach((button, index) => {
    let hit = hits[index];
    if (!hit) {
      hit = document.createElement('button');
      hit.className = 'hit';
      hit.addEventListener('click', (event) => {
        event.stopPropagation();
        const target = JSON.parse(hit.dataset.center);
        tap(picture.name, target.x, target.y);
      });
      box.appendChild(hit);
    }
    hit.title = button.intent;
    hit.dataset.intent = button.intent;
    hit.dataset.center = JSON.stringify({ x: button.x + button.width / 2, y: button.y + button.height / 2 });
    hit.style.left = `${button.x / picture.width * 100}%`;
    hit.style.top = `${button.y / picture.height * 100}%`;
    hit.style.width = `${button.width / picture.width * 100}%`;
    hit.style.height = `${button.height / picture.height * 100}%`;
  });
  box.onclick = (event) => {
    const rect = box.getBoundingClientRect();
    tap(picture.name, (event.clientX - rect.left) / rect.width * picture.width,
        (event.clientY - rect.top) / rect.height * picture.height);
  };
}

function render(next) {
  if (!next.activity) return;
  show('status', next.texts.slice(1).join(' · '));
  show('activity-state', `(${next.activity}, ${next.activityState})`);
  document.body.dataset.version = next.version;
  for (const picture of next.pictures) draw(picture, next.version);
  const state = document.getElementById('state');
  if (document.activeElement !== state) state.value = next.state;
}

document.getElementById('start').addEventListener('click', async () => {
  const { ok, answer } = await post('/start', document.getElementById('queue').value);
  show('error', ok ? '' : answer.error);
});
document.getElementById('push').addEventListener('click', async () => {
  const { ok, answer } = await post('/state', document.getElementById('state').value);
  show('error', ok ? '' : `refused: ${answer.error}`);
});

const events = new EventSource('/events');
events.onmessage = (event) => render(JSON.parse(event.data));
)js";
}

}  // namespace Host
