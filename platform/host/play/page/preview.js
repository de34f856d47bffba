'use strict';
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

// What a finding's kind measured, in the words of audit's text form.
function figure(finding) {
  switch (finding.kind) {
    case 'truncated': return `shown "${finding.shown}"`;
    case 'brokenWord': return `lines "${finding.lines.join('" | "')}"`;
    case 'clipped':
      return finding.wholly ? `wholly hidden, ${finding.hidden} pt past the edge` : `${finding.hidden} pt hidden`;
    case 'contrast': return `${finding.measured}:1, needs ${finding.required}:1`;
    case 'tapTarget':
      return `${finding.size[0]} × ${finding.size[1]} pt, needs ${finding.required} × ${finding.required}`;
    default: return '';
  }
}

// The audit's findings of the pictures shown, a line each (text only).
function list(findings) {
  const items = findings.map((finding) => {
    const item = document.createElement('li');
    item.textContent = [finding.kind, finding.presentation,
      finding.text === undefined ? finding.element : `"${finding.text}"`, figure(finding)].join(' · ');
    item.title = finding.element;
    item.dataset.kind = finding.kind;
    return item;
  });
  document.getElementById('findings').replaceChildren(...items);
  document.getElementById('no-findings').hidden = items.length > 0;
}

function render(next) {
  if (!next.activity) return;
  show('status', next.texts.slice(1).join(' · '));
  show('activity-state', `(${next.activity}, ${next.activityState})`);
  document.body.dataset.version = next.version;
  for (const picture of next.pictures) draw(picture, next.version);
  list(next.findings);
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
