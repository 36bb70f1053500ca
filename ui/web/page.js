// Appended to the generated loader: once the calculator has started, the page's input events
// go to the window binding (form1.cpp), the form is shown, and the service worker keeps the
// app for use offline. At #more the sensor view shows instead of the window, at #loop the
// loop check: their fields go to the module's sensorAnswer (sensor_binding.cpp) or
// loopAnswer (loop_binding.cpp) with every edit, and what comes back is shown.
addOnPostRun(function () {
  var el = function (id) { return document.getElementById(id); };
  Module['start']();
  ['Text1', 'Text2', 'Text3'].forEach(function (id, box) {
    el(id).addEventListener('input', function () {
      Module['boxInput'](box);
    });
  });
  el('Combo1').addEventListener('change', function () {
    Module['listChange']();
  });
  el('form').addEventListener('submit', function (event) {
    event.preventDefault();
  });

  var fromReading = false;
  var show = function () {
    var a = Module['sensorAnswer']({
      code: el('SensorCode').value, r0: el('R0').value, cvdA: el('CvdA').value,
      cvdB: el('CvdB').value, cvdC: el('CvdC').value, cj: el('CJ').value,
      temperature: el('Temperature').value, reading: el('Reading').value,
      fromReading: fromReading, exact: el('Exact').checked,
    });
    // While a code is being typed the fields of the last sensor stay where they are.
    if (a.kind) el('Sensor').dataset.kind = a.kind;
    if (a.unit) {
      el('ReadingLabel').textContent = a.readingLabel;
      el('ReadingUnit').textContent = a.unit;
      el('SlopeLabel').textContent = a.slopeLabel;
      el('SlopeUnit').textContent = a.slopeUnit;
      el('ToleranceUnit').textContent = '±' + a.unit;
    }
    el(fromReading ? 'Temperature' : 'Reading').value = fromReading ? a.temperature : a.reading;
    el('R0').placeholder = a.r0Placeholder;
    el('SensorText').textContent = a.description && a.description + '，' + a.range;
    el('Slope').textContent = a.slope;
    el('ToleranceNote').textContent = a.toleranceNote;
    Object.keys(a.notes).forEach(function (id) { el(id + 'Note').textContent = a.notes[id]; });
    el('Tolerance').tBodies[0].replaceChildren.apply(el('Tolerance').tBodies[0],
      a.tolerance.map(function (r) {
        var tr = document.createElement('tr'), th = document.createElement('th');
        tr.dataset.class = r[0];
        tr.dataset.element = r[1];
        th.scope = 'row';
        th.textContent = r[2];
        tr.appendChild(th);
        (r[4] || !r[3] ? [r[3], r[4]] : [r[3]]).forEach(function (text, i, cells) {
          var td = tr.appendChild(document.createElement('td'));
          td.textContent = text;
          td.colSpan = 3 - cells.length;
        });
        return tr;
      }));
  };
  var startSensor = function () {
    el('SensorForm').addEventListener('input', function (event) {
      if (event.target.id === 'Temperature' || event.target.id === 'Reading')
        fromReading = event.target.id === 'Reading';
      show();
    });
    show();
  };

  // The loop check. The found outputs typed so far are kept by row, whatever the fields above
  // the sheet do to it; each row is made once, with its found field, and then only refilled.
  var found = [];
  var foundRow = function (i) {
    var tr = document.createElement('tr'), input = document.createElement('input');
    var note = document.createElement('span');
    tr.appendChild(document.createElement('th')).scope = 'row';
    for (var c = 0; c < 3; ++c) tr.appendChild(document.createElement('td'));
    var cell = tr.appendChild(document.createElement('td'));
    cell.className = 'found';
    input.id = 'Found' + i;
    input.type = 'text';
    input.inputMode = 'decimal';
    input.enterKeyHint = 'next';
    input.spellcheck = false;
    input.value = found[i] || '';
    note.id = input.id + 'Note';
    note.className = 'note';
    input.setAttribute('aria-describedby', note.id);
    cell.append(input, note);
    for (c = 0; c < 3; ++c) tr.appendChild(document.createElement('td'));
    return tr;
  };
  var check = function () {
    var a = Module['loopAnswer']({
      code: el('SensorCode').value, r0: el('R0').value, cvdA: el('CvdA').value,
      cvdB: el('CvdB').value, cvdC: el('CvdC').value, cj: el('CJ').value,
      lrv: el('LRV').value, urv: el('URV').value, signal: el('Signal').value,
      points: el('Points').value, updown: el('UpDown').checked,
      accuracy: el('Accuracy').value, found: found, output: el('Output').value,
    });
    var view = el('LoopCheck'), rows = el('Sheet').tBodies[0].rows;
    if (a.kind) view.dataset.kind = a.kind;
    view.querySelectorAll('.unit').forEach(function (u) { u.textContent = a.unit; });
    if (a.inputUnit) view.querySelector('.input-unit').textContent = a.inputUnit;
    el('R0').placeholder = a.r0Placeholder;
    el('SensorText').textContent = a.description && a.description + '，' + a.range;
    Object.keys(a.notes).forEach(function (id) { el(id + 'Note').textContent = a.notes[id]; });
    while (rows.length > a.rows.length) rows[rows.length - 1].remove();
    while (rows.length < a.rows.length) el('Sheet').tBodies[0].appendChild(foundRow(rows.length));
    // Each row: [percent, ℃, input, expected, saturated, error %, error ℃, verdict, note],
    // in the order of the row's cells, whose fifth holds the found field.
    a.rows.forEach(function (r, i) {
      var cells = rows[i].cells;
      [0, 1, 2, 3, 5, 6, 7].forEach(function (c) { cells[c].textContent = r[c]; });
      if (r[4]) {
        var mark = cells[3].appendChild(document.createElement('span'));
        mark.className = 'saturated';
        mark.textContent = '饱和';
      }
      cells[7].className = r[7] ? (r[7] === '合格' ? 'pass' : 'fail') : '';
      el('Found' + i).setAttribute('aria-label', r[0] ? r[0] + ' % 实测输出' : '实测输出');
      el('Found' + i + 'Note').textContent = r[8];
    });
    el('OutputTemperature').textContent = a.outputTemperature;
    el('OutputState').textContent = a.outputState;
    el('OutputAbout').textContent = a.outputAbout;
  };
  var startLoop = function () {
    var view = el('LoopCheck');
    view.addEventListener('input', function (event) {
      var row = /^Found(\d+)$/.exec(event.target.id);
      if (row) found[Number(row[1])] = event.target.value;
      check();
    });
    // Enter in a found field goes on to the next row's.
    view.addEventListener('keydown', function (event) {
      var row = /^Found(\d+)$/.exec(event.target.id);
      var next = row && event.key === 'Enter' && el('Found' + (Number(row[1]) + 1));
      if (next) next.focus();
    });
    check();
  };

  // The views beside the window, each made from its template when first shown and kept while
  // another shows; only the one shown is in the document, as both have fields of one name.
  var views = {
    '#more': { template: 'SensorView', title: 'Kelvora 传感器与公差', start: startSensor },
    '#loop': { template: 'LoopView', title: 'Kelvora 变送器回路校验', start: startLoop },
  };
  var current = null;
  var route = function () {
    var next = views[location.hash] || null;
    if (current && current !== next) current.element.remove();
    if (next && !next.element) {
      var content = el(next.template).content.cloneNode(true);
      next.element = content.firstElementChild;
      next.element.addEventListener('submit', function (event) { event.preventDefault(); });
      document.body.appendChild(content);
      next.start();
    } else if (next && next !== current) {
      document.body.appendChild(next.element);
    }
    current = next;
    el('Form1').hidden = el('Switch').hidden = next !== null;
    document.title = next ? next.title : 'Kelvora';
  };
  window.addEventListener('hashchange', route);
  route();

  document.documentElement.classList.add('ready');
  if ('serviceWorker' in navigator) navigator.serviceWorker.register('sw.js');
});
