// Appended to the generated loader: once the calculator has started, the page's input events
// go to the window binding (form1.cpp), the form is shown, and the service worker keeps the
// app for use offline.
addOnPostRun(function () {
  Module['start']();
  ['Text1', 'Text2', 'Text3'].forEach(function (id, box) {
    document.getElementById(id).addEventListener('input', function () {
      Module['boxInput'](box);
    });
  });
  document.getElementById('Combo1').addEventListener('change', function () {
    Module['listChange']();
  });
  document.getElementById('form').addEventListener('submit', function (event) {
    event.preventDefault();
  });
  document.documentElement.classList.add('ready');
  if ('serviceWorker' in navigator) navigator.serviceWorker.register('sw.js');
});
