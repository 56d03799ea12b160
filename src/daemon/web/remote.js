// The web remote of r512d: draws the front-panel display from the daemon's display events with
// the panel's own font strip, sends the keys of the remote window over the WebSocket and shows
// the registers as the Control Panel does. One JSON object per WebSocket message.
'use strict';

(() => {
  const NO_CONNECTION = ['   no connection    ', '      to R512       '];
  const CELL_W = 7;
  const CELL_H = 9;
  const COLUMNS = 20;
  const REPEAT_MS = 100;      // the knob's repeat period, as on the desktop
  const MAX_HOLD_MS = 20000;  // a hold longer than this is a lost release: stop
  const VOLUME_FLOOR = -90;
  const VOLUME_TOP = 15;

  // The Control Panel's registers, in its order: caption and register name.
  const PANEL = [
    ['Volume', 'RS_VOLUME'], ['Mute', 'RS_MUTE'], ['Late Night', 'RS_COMPRESSION'],
    ['Source', 'RS_AUDIO_SOURCE'], ['Tape Monitor', 'RS_TAPEMONITOR'],
    ['Mode', 'RS_STEREO_MODE'], ['THX', 'RS_THX'], ['Treble', 'RS_TREBLE'],
    ['Bass', 'RS_BASS'], ['Sub.W', 'RS_SUBWOOFER'], ['Center', 'RS_CENTER'],
    ['Surr', 'RS_SURROUND'], ['Multi Source Volume', 'RS_ZONE_VOLUME'],
    ['Multi Source Mute', 'RS_ZONE_MUTE'], ['Multi Source', 'RS_ZONE_AUDIO_SOURCE'],
    ['Power On', 'RS_OPER_MODE'], ['Dimmer', 'RS_DIMMER'], ['Trigger 1', 'RS_TRIGGER1'],
    ['Trigger 2', 'RS_TRIGGER2'], ['Audio Input', 'RS_AUDIO_INPUT_TYPE'],
    ['Audio Format', 'RS_SIGNAL_TYPE'], ['Video Input', 'RS_VIDEO_INPUT_TYPE'],
    ['Video Format', 'RS_TV_SYSTEM'],
  ];

  const canvas = document.getElementById('display');
  const context = canvas.getContext('2d');
  const displayText = document.getElementById('display-text');
  const linkText = document.getElementById('link');
  const font = new Image();
  let fontReady = false;

  let socket = null;
  let socketOpen = false;
  let deviceLink = 'lost';
  let lines = NO_CONNECTION;      // the lines as the daemon last composed them
  let shown = null;               // the lines on the canvas now
  let firstLiveDisplay = true;
  let reconnectDelay = 250;
  let maxVolume = null;
  const registers = new Map();    // register name -> register object
  const panelCells = new Map();   // register name -> <dd>

  // ---- display ----------------------------------------------------------------------------

  // The cell of a character in the strip: codes 32 to 127 have one each, every other code
  // draws the blank cell of the space.
  function cellX(code) {
    return code >= 32 && code <= 127 ? (code - 32) * CELL_W : 0;
  }

  // What a screen reader says for a line: the panel font's ".1" and double-D glyphs in words.
  function spoken(line) {
    return line.replace(/@/g, '.1').replace(/\[\]/g, 'DD').replace(/\s+/g, ' ').trim();
  }

  function draw(next) {
    const text = next.map((line) => (line || '').padEnd(COLUMNS, ' ').slice(0, COLUMNS));
    if (fontReady) {
      for (let row = 0; row < 2; ++row) {
        for (let column = 0; column < COLUMNS; ++column) {
          const x = cellX(text[row].charCodeAt(column));
          context.drawImage(font, x, 0, CELL_W, CELL_H, column * CELL_W, row * CELL_H,
                            CELL_W, CELL_H);
        }
      }
    }
    shown = text;
    canvas.dataset.lines = text.join('\n');
    const words = text.map(spoken).filter((line) => line).join(', ');
    if (displayText.textContent !== words) displayText.textContent = words;
  }

  // The lines the display shows now: the no-connection screen while the WebSocket or the
  // daemon's device link is down, else the daemon's composition.
  function refreshDisplay() {
    const live = socketOpen && deviceLink === 'open';
    draw(live ? lines : NO_CONNECTION);
    if (live && firstLiveDisplay && fontReady) {
      firstLiveDisplay = false;
      performance.mark('r512-first-live-display');
    }
  }

  font.addEventListener('load', () => {
    fontReady = true;
    refreshDisplay();
  });
  font.src = 'font.bmp';

  // ---- registers --------------------------------------------------------------------------

  function valueText(register) {
    if (!register || register.value === null) return '--';
    if (register.unit) return `${register.display} ${register.unit}`;
    return register.text;
  }

  function buildPanel() {
    const list = document.getElementById('registers');
    for (const [caption, name] of PANEL) {
      const term = document.createElement('dt');
      term.textContent = caption;
      const cell = document.createElement('dd');
      cell.textContent = '--';
      list.append(term, cell);
      panelCells.set(name, cell);
    }
  }

  function showVolume() {
    const volume = registers.get('RS_VOLUME');
    const known = volume && volume.value !== null;
    const top = maxVolume === null ? VOLUME_TOP : maxVolume;
    document.getElementById('volume-text').textContent = known ? volume.text : 'vol: --';
    const share = known ? (volume.display - VOLUME_FLOOR) / (top - VOLUME_FLOOR) : 0;
    const percent = Math.max(0, Math.min(1, share)) * 100;
    document.getElementById('volume-bar').style.width = `${percent}%`;
    document.getElementById('volume-cap').textContent =
        maxVolume === null ? '' : `limit ${maxVolume} dB`;
    const atEnd = known && maxVolume !== null && volume.display >= maxVolume;
    const up = document.getElementById('volume-up');
    up.classList.toggle('at-end', atEnd);
    up.setAttribute('aria-label', atEnd ? 'Volume up (at the limit)' : 'Volume up');
    if (atEnd && repeat && repeat.key === 'knob-up') stopRepeat();
  }

  function showRegister(register) {
    registers.set(register.name, register);
    const cell = panelCells.get(register.name);
    if (cell) cell.textContent = valueText(register);
    const step = document.querySelector(`.step[data-register="${register.name}"] output`);
    if (step) step.textContent = valueText(register);
    if (register.name === 'RS_VOLUME') showVolume();
    if (register.name === 'RS_AUDIO_SOURCE') {
      for (const button of document.querySelectorAll('[data-source]')) {
        button.setAttribute('aria-pressed', String(Number(button.dataset.source) === register.value));
      }
    }
  }

  // ---- the WebSocket ----------------------------------------------------------------------

  function send(request) {
    if (!socket || !socketOpen) return false;
    socket.send(JSON.stringify(request));
    return true;
  }

  function showLink() {
    if (!socketOpen) {
      linkText.textContent = 'No connection to r512d';
    } else if (deviceLink !== 'open') {
      linkText.textContent = 'r512d has no connection to the R512';
    } else {
      linkText.textContent = 'Connected';
    }
    linkText.classList.toggle('lost', !socketOpen || deviceLink !== 'open');
  }

  function onMessage(message) {
    if (message.reply === 'status') {
      deviceLink = message.link;
      if (Array.isArray(message.display)) lines = message.display;
      if (message.limits) maxVolume = message.limits.max_volume;
      for (const register of message.registers || []) showRegister(register);
      showVolume();
      showLink();
      refreshDisplay();
    } else if (message.event === 'display') {
      lines = message.lines;
      refreshDisplay();
    } else if (message.event === 'register') {
      showRegister(message.register);
    } else if (message.event === 'link') {
      deviceLink = message.state;
      if (deviceLink !== 'open') stopRepeat();
      showLink();
      refreshDisplay();
    } else if (message.reply === 'error') {
      if (message.error === 'capped' || message.error === 'link-lost') stopRepeat();
      if (message.error === 'unauthorized') linkText.textContent = message.reason;
    }
  }

  function connect() {
    const scheme = location.protocol === 'https:' ? 'wss:' : 'ws:';
    socket = new WebSocket(`${scheme}//${location.host}/ws`);
    socket.addEventListener('open', () => {
      socketOpen = true;
      reconnectDelay = 250;
      send({cmd: 'watch'});
      showLink();
    });
    socket.addEventListener('message', (event) => {
      let message;
      try {
        message = JSON.parse(event.data);
      } catch {
        return;
      }
      onMessage(message);
    });
    socket.addEventListener('close', () => {
      socketOpen = false;
      socket = null;
      stopRepeat();
      showLink();
      refreshDisplay();
      setTimeout(connect, reconnectDelay);
      reconnectDelay = Math.min(reconnectDelay * 2, 2000);
    });
  }

  // ---- keys -------------------------------------------------------------------------------

  // Hold-to-repeat on the knob: the key once on the press and every 100 ms after it, until
  // the release, a cancel, the loss of the pointer, the pointer leaving the button, a hidden
  // page or a lost connection. Every tick checks again, so no lost event runs the volume on.
  let repeat = null;

  function stopRepeat() {
    if (!repeat) return;
    clearInterval(repeat.timer);
    repeat.button.classList.remove('held');
    const {button, pointerId} = repeat;
    repeat = null;
    if (button.hasPointerCapture(pointerId)) button.releasePointerCapture(pointerId);
  }

  function startRepeat(button, event) {
    stopRepeat();
    if (document.hidden || !send({cmd: 'key', key: button.dataset.key})) return;
    const started = performance.now();
    try {
      button.setPointerCapture(event.pointerId);
    } catch {
      // No capture (the pointer is already gone): the document's own listeners stop it.
    }
    button.classList.add('held');
    repeat = {
      button,
      key: button.dataset.key,
      pointerId: event.pointerId,
      timer: setInterval(() => {
        if (document.hidden || !socketOpen || performance.now() - started > MAX_HOLD_MS) {
          stopRepeat();
          return;
        }
        send({cmd: 'key', key: button.dataset.key});
      }, REPEAT_MS),
    };
  }

  function wireKnob(button) {
    button.addEventListener('pointerdown', (event) => {
      if (event.button !== 0) return;
      event.preventDefault();
      startRepeat(button, event);
    });
    for (const type of ['pointerup', 'pointercancel', 'lostpointercapture']) {
      button.addEventListener(type, stopRepeat);
    }
    button.addEventListener('pointermove', (event) => {
      if (!repeat || repeat.button !== button) return;
      const box = button.getBoundingClientRect();
      const inside = event.clientX >= box.left && event.clientX < box.right &&
                     event.clientY >= box.top && event.clientY < box.bottom;
      if (!inside) stopRepeat();
    });
    button.addEventListener('contextmenu', (event) => event.preventDefault());
    // The keyboard: one key per keydown, the system's own key repeat doing the holding, at
    // most one every 100 ms as the knob repeats.
    let lastKey = -Infinity;
    button.addEventListener('keydown', (event) => {
      if (event.key !== 'Enter' && event.key !== ' ') return;
      event.preventDefault();
      if (event.repeat && performance.now() - lastKey < REPEAT_MS) return;
      lastKey = performance.now();
      send({cmd: 'key', key: button.dataset.key});
    });
    button.addEventListener('keyup', (event) => {
      if (event.key === ' ') event.preventDefault();
    });
  }

  function wireKeys() {
    for (const button of document.querySelectorAll('button[data-key]')) {
      if (button.classList.contains('knob')) {
        wireKnob(button);
      } else {
        button.addEventListener('click', () => send({cmd: 'key', key: button.dataset.key}));
      }
    }
    document.addEventListener('visibilitychange', () => {
      if (document.hidden) stopRepeat();
    });
    window.addEventListener('blur', stopRepeat);
    // A release anywhere ends a hold, should the button have lost track of its pointer.
    document.addEventListener('pointerup', stopRepeat);
    document.addEventListener('pointercancel', stopRepeat);
    window.addEventListener('pagehide', stopRepeat);
  }

  buildPanel();
  wireKeys();
  showLink();
  refreshDisplay();
  connect();
})();
