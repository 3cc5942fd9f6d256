// The page: the description in two forms that stay in step (the element list
// and the text), solved by the library at every change. Every number shown
// is one the library returned; this module only lays them out.
import createVelmora from './velmora.mjs';
import examples from './examples.js';

const $ = (id) => document.getElementById(id);
const editor = $('description');
const velmora = await createVelmora();
const page = new velmora.Page();

// The words of the text stay the program's; the page names them in English.
const keyNames = {
  'F1': 'left end', 'F2': 'elastic support', 'F3': 'beam section', 'F4': 'point load',
  'F5': 'shaft section', 'F6 Zwischenbedingung': 'intermediate condition',
  'F6 rechtes Trägerende': 'right end', 'F7': 'compute here', 'Masse': 'point mass',
  'Lastfall': 'load case', 'Kombination': 'combination', 'q': 'line load of a case',
  'Kraft': 'force of a case', 'Moment': 'moment of a case',
};
const choiceNames = {
  'gelenkiges Lager': 'hinged', 'freies Ende': 'free', 'Einspannung': 'clamped',
  'Kraft': 'force', 'Moment': 'moment', 'Winkel': 'kink', 'Absenkung': 'offset',
  'Zwischenbedingung gelenkiges Lager': 'support', 'Zwischenbedingung Gelenk': 'hinge',
  'rechtes Trägerende gelenkiges Lager': 'hinged', 'rechtes Trägerende freies Ende': 'free',
  'rechtes Trägerende Einspannung': 'clamped',
};
// The choices each key offers, as its dialog does.
const choices = {
  'F1': ['gelenkiges Lager', 'freies Ende', 'Einspannung'],
  'F4': ['Kraft', 'Moment', 'Winkel', 'Absenkung'],
  'F6': ['Zwischenbedingung gelenkiges Lager', 'Zwischenbedingung Gelenk',
         'rechtes Trägerende gelenkiges Lager', 'rechtes Trägerende freies Ende',
         'rechtes Trägerende Einspannung'],
};
// What a key adds, ready to edit.
const added = {
  'F1': 'F1 gelenkiges Lager', 'F2': 'F2 c=1000', 'F3': 'F3 l=1 EI=1000 q=1',
  'F4': 'F4 Kraft 1', 'F5': 'F5 l=100 E=210000 d=20', 'F6': 'F6 Zwischenbedingung gelenkiges Lager',
  'F7': 'F7', 'Masse': 'Masse m=1',
};

const full = (v) => (typeof v === 'number' ? v.toPrecision(17) : '');
const shown = (v) => (typeof v === 'number' ? String(Number(v.toPrecision(6))) : '');

let last = null;        // the library's answer to the text shown
let selectedLine = 0;   // the element row chosen last

function cell(row, text, attributes = {}) {
  const td = row.insertCell();
  td.textContent = text;
  for (const [k, v] of Object.entries(attributes)) td.setAttribute(k, v);
  return td;
}

function fill(body, rows) {
  body.replaceChildren();
  for (const r of rows) body.appendChild(r);
}

// --- The solve: text in, the library's answer laid out ---

function solve() {
  const started = performance.now();
  const text = editor.value;
  let answer;
  try {
    answer = page.load(text, $('method').value, Number($('points').value) || 50);
    $('status').dataset.solveMs = String(performance.now() - started);
  } catch (e) {
    answer = { status: 'error', error: { line: 0, column: 0, message: String(e.message || e) },
               actions: [] };
  }
  last = answer;
  showStatus(answer);
  showElements(text, answer);
  showResults(answer);
  showInfluence();
  showEnvelope();
  showCritical();
  history.replaceState(null, '', '#' + fragmentOf(text));
  $('status').dataset.ms = String(performance.now() - started);
}

function showStatus(answer) {
  const status = $('status');
  const warnings = $('warnings');
  warnings.replaceChildren();
  for (const w of answer.warnings || []) {
    const li = document.createElement('li');
    li.textContent = `line ${w.line}, column ${w.column}: ${w.message}`;
    warnings.appendChild(li);
  }
  if (answer.status === 'solved') {
    status.textContent = 'solved';
    status.className = 'solved';
  } else {
    const e = answer.error;
    status.textContent = `line ${e.line}, column ${e.column}: ${e.message}`;
    status.className = 'error';
  }
  drawGutter(answer.status === 'solved' ? 0 : answer.error.line);
}

function drawGutter(wrongLine) {
  const gutter = $('gutter');
  gutter.replaceChildren();
  const count = editor.value.split('\n').length;
  for (let n = 1; n <= count; ++n) {
    const span = document.createElement('span');
    span.textContent = String(n);
    if (n === wrongLine) span.className = 'wrong';
    gutter.appendChild(span);
    gutter.appendChild(document.createTextNode('\n'));
  }
  gutter.scrollTop = editor.scrollTop;
}

function showResults(answer) {
  const solved = answer.status === 'solved';
  const drawing = $('drawing');
  drawing.innerHTML = solved ? answer.svg : '';
  const reactions = [];
  for (const r of solved ? answer.reactions : []) {
    const tr = document.createElement('tr');
    tr.dataset.x = full(r.x);
    tr.dataset.force = full(r.force);
    if (r.moment !== undefined) tr.dataset.moment = full(r.moment);
    tr.dataset.line = String(r.line);
    cell(tr, String(r.line));
    cell(tr, shown(r.x));
    cell(tr, r.place);
    cell(tr, shown(r.force));
    cell(tr, r.moment === undefined ? '' : shown(r.moment));
    cell(tr, r.psiRight === undefined ? shown(r.psi) : `${shown(r.psi)} | ${shown(r.psiRight)}`);
    reactions.push(tr);
  }
  // What the foundations carry, in the same table: with the reactions they
  // balance the loads.
  for (const f of solved ? answer.foundations : []) {
    const tr = document.createElement('tr');
    tr.dataset.from = full(f.from);
    tr.dataset.to = full(f.to);
    tr.dataset.force = full(f.force);
    tr.dataset.line = String(f.line);
    cell(tr, String(f.line));
    cell(tr, `${shown(f.from)} to ${shown(f.to)}`);
    cell(tr, 'foundation');
    cell(tr, shown(f.force));
    cell(tr, '');
    cell(tr, '');
    reactions.push(tr);
  }
  fill($('reactions'), reactions);
  const extremes = [];
  for (const [name, e] of Object.entries(solved ? answer.extremes : {})) {
    const tr = document.createElement('tr');
    tr.dataset.quantity = name;
    cell(tr, name);
    if (e === null) {
      cell(tr, 'no finite value');
    } else {
      tr.dataset.max = full(e.max);
      tr.dataset.min = full(e.min);
      tr.dataset.xMax = full(e.xMax);
      tr.dataset.xMin = full(e.xMin);
      cell(tr, shown(e.max));
      cell(tr, shown(e.xMax));
      cell(tr, shown(e.min));
      cell(tr, shown(e.xMin));
    }
    extremes.push(tr);
  }
  fill($('extremes'), extremes);
  const results = [];
  for (const r of answer.results || []) {
    const tr = document.createElement('tr');
    tr.dataset.line = String(r.line);
    cell(tr, String(r.line));
    for (const q of ['w', 'psi', 'M', 'Q']) cell(tr, shown(r[q]), { 'data-value': full(r[q]) });
    results.push(tr);
  }
  fill($('results'), results);
  $('pointer').textContent = 'Point at the drawing for the values there.';
}

// --- Values under the pointer ---

// The drawing's x axis: its dashed grid lines stand at the ends of the beam
// and of its sections, the first at x = 0 and the last at the beam's length.
function axisOf(svg) {
  const xs = [...svg.querySelectorAll('line[stroke-dasharray]')].map((l) => Number(l.getAttribute('x1')));
  return xs.length < 2 ? null : { left: Math.min(...xs), right: Math.max(...xs) };
}

function pointAt(event) {
  const svg = $('drawing').querySelector('svg');
  if (!svg || !last || last.status !== 'solved') return;
  const axis = axisOf(svg);
  if (!axis) return;
  const point = svg.createSVGPoint();
  point.x = event.clientX;
  point.y = event.clientY;
  const local = point.matrixTransform(svg.getScreenCTM().inverse());
  const share = (local.x - axis.left) / (axis.right - axis.left);
  if (!(share >= 0 && share <= 1)) return;
  const x = share * last.length;
  const state = page.at(x, false);
  if (!state || state.error) return;
  const pointer = $('pointer');
  for (const q of ['x', 'w', 'psi', 'M', 'Q']) pointer.dataset[q] = full(state[q]);
  pointer.textContent =
    `x = ${shown(state.x)}: w = ${shown(state.w)}, psi = ${shown(state.psi)}, ` +
    `M = ${shown(state.M)}, Q = ${shown(state.Q)}`;
  let cursor = svg.querySelector('#pointer-line');
  if (!cursor) {
    cursor = document.createElementNS('http://www.w3.org/2000/svg', 'line');
    cursor.id = 'pointer-line';
    cursor.setAttribute('stroke', '#e67e22');
    cursor.setAttribute('stroke-width', '1');
    svg.appendChild(cursor);
  }
  const height = svg.viewBox.baseVal.height || 1000;
  cursor.setAttribute('x1', local.x);
  cursor.setAttribute('x2', local.x);
  cursor.setAttribute('y1', 0);
  cursor.setAttribute('y2', height);
}

// --- Influence lines and critical speeds ---

function showInfluence() {
  const request = $('influence-request').value.trim();
  const status = $('influence-status');
  $('influence').replaceChildren();
  fill($('influence-values'), []);
  status.textContent = '';
  if (!request || !last || last.status !== 'solved') return;
  const line = page.influence(request);
  if (!line) return;
  if (line.error) {
    status.textContent = line.error.line
      ? `line ${line.error.line}, column ${line.error.column}: ${line.error.message}`
      : line.error.message;
    return;
  }
  const rows = [];
  const add = (name, value, at) => {
    const tr = document.createElement('tr');
    tr.dataset.name = name;
    tr.dataset.value = full(value);
    cell(tr, name);
    cell(tr, shown(value));
    cell(tr, at === undefined ? '' : `at x = ${shown(at)}`);
    rows.push(tr);
  };
  if (line.extreme) {
    add('max', line.extreme.max, line.extreme.xMax);
    add('min', line.extreme.min, line.extreme.xMin);
  }
  add('area positive', line.positiveArea);
  add('area negative', line.negativeArea);
  fill($('influence-values'), rows);
  $('influence').innerHTML = line.svg;
}

function showEnvelope() {
  const e = last && last.status === 'solved' ? page.envelope() : null;
  $('envelope-part').hidden = !e;
  $('envelope-text').textContent = e && e.text ? e.text : '';
  $('envelope-status').textContent = e && e.error ? e.error.message : '';
  $('envelope').innerHTML = e && e.svg ? e.svg : '';
}

function showCritical() {
  const count = Number($('critical-count').value) || 0;
  const status = $('critical-status');
  status.textContent = '';
  $('modes').replaceChildren();
  fill($('critical'), []);
  if (count <= 0 || !last || last.status !== 'solved') return;
  const c = page.critical(Math.min(count, 1000));
  if (!c) return;
  if (c.error) {
    status.textContent = c.error.message;
    return;
  }
  fill($('critical'), c.speeds.map((s, i) => {
    const tr = document.createElement('tr');
    tr.dataset.omega = full(s.omega);
    cell(tr, String(i + 1));
    cell(tr, shown(s.omega));
    cell(tr, shown(s.f));
    cell(tr, shown(s.n));
    return tr;
  }));
  if (c.svg) $('modes').innerHTML = c.svg;
}

// --- The element list: one row per line of the description ---

function wordsOf(line) {
  const hash = line.indexOf('#');
  return (hash >= 0 ? line.slice(0, hash) : line).trim().split(/\s+/).filter((w) => w);
}

// The key word of a line and, where it has them, its choice words: the
// words that are neither numbers nor name=value pairs.
function parts(words) {
  const key = words[0];
  const named = [];
  const plain = [];
  const rest = [];
  for (const w of words.slice(1)) {
    if (w.includes('=')) named.push(w);
    else if (/^[-+.0-9]/.test(w)) plain.push(w);
    else rest.push(w);
  }
  return { key, choice: rest.join(' '), named, plain };
}

// A long description is listed only so far, so that every edit stays quick.
const listedRows = 300;

function showElements(text, answer) {
  const lines = text.split('\n');
  const actions = new Map((answer.actions || []).map((a) => [a.line, a]));
  const wrong = answer.status === 'solved' ? 0 : answer.error.line;
  const rows = [];
  lines.forEach((line, index) => {
    const words = wordsOf(line);
    if (!words.length || rows.length > listedRows) return;
    if (rows.length === listedRows) {
      const tr = document.createElement('tr');
      cell(tr, '');
      cell(tr, `the list ends here; the editor holds all ${lines.length} lines`, { colspan: 3 });
      rows.push(tr);
      return;
    }
    const number = index + 1;
    const p = parts(words);
    const action = actions.get(number);
    const tr = document.createElement('tr');
    tr.dataset.line = String(number);
    if (number === wrong) tr.className = 'wrong';
    if (number === selectedLine) tr.classList.add('selected');
    tr.addEventListener('click', () => {
      selectedLine = number;
      for (const r of $('elements').rows) r.classList.toggle('selected', r === tr);
    });
    cell(tr, String(number), { class: 'line' });
    const name = action ? action.name : p.key;
    const what = cell(tr, keyNames[name] || keyNames[p.key] || p.key, { class: 'what' });
    what.title = line.trim();
    const fields = tr.insertCell();
    const options = choices[p.key];
    if (options && options.includes(p.choice)) {
      const select = document.createElement('select');
      for (const o of options) select.add(new Option(`${choiceNames[o] || o} (${o})`, o, false, o === p.choice));
      select.addEventListener('change', () => edit(number));
      select.dataset.part = 'choice';
      fields.appendChild(select);
    } else if (p.choice) {
      const input = document.createElement('input');
      input.value = p.choice;
      input.dataset.part = 'choice';
      input.addEventListener('change', () => edit(number));
      fields.appendChild(input);
    }
    for (const w of p.plain) fields.appendChild(field('', w, number));
    for (const w of p.named) {
      const at = w.indexOf('=');
      fields.appendChild(field(w.slice(0, at), w.slice(at + 1), number));
    }
    const remove = document.createElement('button');
    remove.type = 'button';
    remove.textContent = '×';
    remove.title = 'remove this line';
    remove.addEventListener('click', (event) => {
      event.stopPropagation();
      lines.splice(index, 1);
      setText(lines.join('\n'));
    });
    tr.insertCell().appendChild(remove);
    rows.push(tr);
  });
  fill($('elements'), rows);
}

function field(name, value, line) {
  const label = document.createElement('label');
  if (name) label.append(name + ' ');
  const input = document.createElement('input');
  input.value = value;
  input.dataset.part = name ? 'named' : 'plain';
  input.dataset.name = name;
  input.addEventListener('change', () => edit(line));
  label.appendChild(input);
  return label;
}

// A row edited: its line written anew from its fields.
function edit(line) {
  const row = [...$('elements').rows].find((r) => r.dataset.line === String(line));
  const lines = editor.value.split('\n');
  const words = [parts(wordsOf(lines[line - 1])).key];
  for (const input of row.querySelectorAll('[data-part]')) {
    const value = input.value.trim();
    if (input.dataset.part === 'named') {
      if (value) words.push(`${input.dataset.name}=${value}`);
    } else if (value) {
      words.push(value);
    }
  }
  lines[line - 1] = words.join(' ');
  selectedLine = line;
  setText(lines.join('\n'));
}

// A key pressed: its element added after the caret's line, or after the
// chosen row, or at the end.
function addElement(key) {
  const lines = editor.value.replace(/\n+$/, '').split('\n');
  let after = lines.length;
  if (document.activeElement === editor) {
    after = editor.value.slice(0, editor.selectionStart).split('\n').length;
  } else if (selectedLine > 0 && selectedLine <= lines.length) {
    after = selectedLine;
  }
  lines.splice(after, 0, added[key]);
  selectedLine = after + 1;
  setText(lines.join('\n') + '\n');
}

function setText(text) {
  editor.value = text;
  solve();
}

// --- Files, the address and the examples ---

function download(name, type, text) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([text], { type }));
  link.download = name;
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 1000);
}

function fragmentOf(text) {
  const method = $('method').value === 'keyed' ? '&method=keyed' : '';
  return 'text=' + encodeURIComponent(text) + method;
}

function fromFragment() {
  const fields = new URLSearchParams(location.hash.slice(1));
  if (fields.get('method') === 'keyed') $('method').value = 'keyed';
  return fields.get('text');
}

$('example').add(new Option('(your own)', ''));
for (const name of Object.keys(examples)) $('example').add(new Option(name, name));
$('example').addEventListener('change', () => {
  if (examples[$('example').value] !== undefined) setText(examples[$('example').value]);
});
editor.addEventListener('input', solve);
editor.addEventListener('scroll', () => { $('gutter').scrollTop = editor.scrollTop; });
for (const id of ['method', 'points']) $(id).addEventListener('change', solve);
$('influence-request').addEventListener('input', showInfluence);
$('critical-count').addEventListener('change', showCritical);
$('drawing').addEventListener('mousemove', pointAt);
for (const b of $('keys').querySelectorAll('button')) {
  b.addEventListener('click', () => addElement(b.dataset.key));
}
document.addEventListener('keydown', (event) => {
  const match = /^F([1-7])$/.exec(event.key);
  if (!match || event.altKey || event.ctrlKey || event.metaKey) return;
  event.preventDefault();
  addElement(event.key);
});
$('open').addEventListener('change', async () => {
  const file = $('open').files[0];
  if (file) setText(await file.text());
  $('open').value = '';
});
$('save').addEventListener('click', () => download('beam.txt', 'text/plain', editor.value));
$('download-svg').addEventListener('click', () => {
  if (last && last.status === 'solved') download('beam.svg', 'image/svg+xml', page.svg());
});
$('download-csv').addEventListener('click', () => {
  if (last && last.status === 'solved') download('beam.csv', 'text/csv', page.csv());
});
$('download-json').addEventListener('click', () => {
  if (last && last.status === 'solved') download('beam.json', 'application/json', page.json());
});
window.addEventListener('hashchange', () => {
  const text = fromFragment();
  if (text !== null && text !== editor.value) setText(text);
});

const start = fromFragment();
if (start === null) $('example').value = Object.keys(examples)[0];
setText(start !== null ? start : examples[Object.keys(examples)[0]]);
document.body.dataset.ready = 'true';
