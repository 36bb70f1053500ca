// Appended to the generated loader: once the calculator has started, the page's input events
// go to the window binding (form1.cpp), the form is shown, and the service worker keeps the
// app for use offline. At #more the sensor view shows instead of the window: its fields go to
// the module's sensorAnswer (sensor_binding.cpp) with every edit, and what comes back is shown.
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

  var view = null, fromReading = false;
  var show = function () {
    var a = Module['sensorAnswer']({
      code: el('SensorCode').value, r0: el('R0').value, cvdA: el('CvdA').value,
      cvdB: el('CvdB').value, cvdC: el('CvdC').value, cj: el('CJ').value,
      temperature: el('Temperature').value, reading: el('Reading').value,
      fromReading: fromReading, exact: el('Exact').checked,
    });
    // While a code is being typed the fields of the last sensor stay where they are.
    if (a.kind) view.dataset.kind = a.kind;
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
  var route = function () {
    var more = location.hash === '#more';
    if (more && !view) {
      document.body.appendChild(el('SensorView').content.cloneNode(true));
      view = el('Sensor');
      el('SensorForm').addEventListener('input', function (event) {
        if (event.target.id === 'Temperature' || event.target.id === 'Reading')
          fromReading = event.target.id === 'Reading';
        show();
      });
      el('SensorForm').addEventListener('submit', function (event) {
        event.preventDefault();
      });
      show();
    }
    el('Form1').hidden = el('Switch').hidden = more;
    if (view) view.hidden = !more;
    document.title = more ? 'Kelvora 传感器与公差' : 'Kelvora';
  };
  window.addEventListener('hashchange', route);
  route();

  document.documentElement.classList.add('ready');
  if ('serviceWorker' in navigator) navigator.serviceWorker.register('sw.js');
});
