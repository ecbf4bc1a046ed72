// The page around the simulator board: draws its display, turns mouse,
// fingers and keys into its input as mapboard's window does, saves what
// the board received as a script, and offers window.mapboard for scripts
// and tests.
'use strict';

const panelWidth = 800;
const panelHeight = 480;
const wheelFingerSpread = 60;
const wheelStep = 1.25;
// Two fingers whose midpoint never moves read as no pinch to the map's input
// handler; real fingers drift, so a mirrored second finger drifts a pixel.
const fingerDrift = 1;
// Board frames follow the display's refresh; a faster screen must not run
// the board faster.
const shortestFrameMs = 1000 / 60 - 2;
// During mapboard.run the page still gets a turn this often.
const runYieldMs = 50;

const canvas = document.getElementById('display');
const context = canvas.getContext('2d');
const statusLine = document.getElementById('status');

let failed = false;
function mapboardFailed(why) {
  if (failed) {
    return;
  }
  failed = true;
  canvas.style.display = 'none';
  document.getElementById('help').style.display = 'none';
  statusLine.textContent = 'mapboard cannot run here: ' + why;
}

let frameCount = 0;
let lastState = null;
let lastShownMs = 0;
let lastYieldMs = 0;
// When the board last got the processor back from the page: a frame step's
// time is from here to the end of the frame's drawing.
let boardResumedMs = 0;
let frameDrawnMs = 0;
// The frame steps' time since the status line last changed.
let busyMs = 0;
const runs = []; // {until, resolve, eachFrame}

// index.html?hold keeps the board at power-on until the first play or run.
let releaseBoard = null;
const boardReleased = new URLSearchParams(location.search).has('hold')
  ? new Promise((resolve) => (releaseBoard = resolve))
  : Promise.resolve();

function call(name, ...args) {
  return Module['_' + name](...args);
}

function state() {
  if (lastState === null && frameCount > 0) {
    lastState = JSON.parse(Module.UTF8ToString(call('webboard_state')));
  }
  return lastState;
}

function draw() {
  const pixels = call('webboard_rgba');
  if (pixels === 0) {
    return;
  }
  const bytes = new Uint8ClampedArray(Module.HEAPU8.buffer, pixels, panelWidth * panelHeight * 4);
  context.putImageData(new ImageData(bytes, panelWidth, panelHeight), 0, 0);
}

function nextAnimationFrame() {
  return new Promise((resolve) => requestAnimationFrame(resolve));
}

// Called by the board at the end of each frame.
function onBoardFrame() {
  const stepMs = frameDrawnMs - boardResumedMs;
  frameCount += 1;
  busyMs += stepMs;
  lastState = null;
  if (window.mapboard.onFrame) {
    window.mapboard.onFrame(state());
  }
  for (const run of runs) {
    if (run.eachFrame) {
      run.eachFrame(state(), stepMs);
    }
  }
  while (runs.length > 0 && frameCount >= runs[0].until) {
    runs.shift().resolve(state());
  }
}

// Called by the board between frames: the page's turn.
async function onBoardWait() {
  const now = performance.now();
  if (runs.length > 0 && now - lastYieldMs < runYieldMs) {
    boardResumedMs = performance.now();
    return;
  }
  draw();
  if (runs.length > 0) {
    await new Promise((resolve) => setTimeout(resolve, 0));
  } else {
    let time = await nextAnimationFrame();
    while (time - lastShownMs < shortestFrameMs) {
      time = await nextAnimationFrame();
    }
    lastShownMs = time;
  }
  lastYieldMs = performance.now();
  boardResumedMs = lastYieldMs;
}

var Module = {
  webboardFrameDrawn: () => (frameDrawnMs = performance.now()),
  webboardFrame: onBoardFrame,
  webboardNextFrame: onBoardWait,
  webboardStart: async () => {
    await boardReleased;
    boardResumedMs = performance.now();
  },
  onRuntimeInitialized: () => {
    started = true;
    statusLine.textContent = '';
  },
  onAbort: (what) => mapboardFailed(started ? String(what) : 'webboard.wasm cannot be loaded (' + what + ')'),
};

if (typeof WebAssembly !== 'object') {
  mapboardFailed('WebAssembly is not available');
}
// Some failures to fetch the module reach no handler of the runtime's.
let started = false;
window.addEventListener('unhandledrejection', (event) => {
  if (!started) {
    mapboardFailed(String(event.reason && event.reason.message ? event.reason.message : event.reason));
  }
});

// Scaled to fit, by whole device pixels where the window allows.
function fit() {
  const ratio = window.devicePixelRatio || 1;
  const lines = 2 * 24;
  let scale = Math.min((innerWidth * ratio) / panelWidth, ((innerHeight - lines) * ratio) / panelHeight);
  if (scale >= 1) {
    scale = Math.floor(scale);
  }
  canvas.style.width = (panelWidth * scale) / ratio + 'px';
  canvas.style.height = (panelHeight * scale) / ratio + 'px';
}
window.addEventListener('resize', fit);
fit();

function panelPoint(event) {
  const box = canvas.getBoundingClientRect();
  return {
    x: Math.round(((event.clientX - box.left) * panelWidth) / box.width),
    y: Math.round(((event.clientY - box.top) * panelHeight) / box.height),
  };
}

// Landings and lifts are handed over on frames of their own, so a quick
// click is still a tap; moves keep only the newest position.
function fingers(points, moved) {
  const a = points[0] || {x: 0, y: 0};
  const b = points[1] || {x: 0, y: 0};
  call('webboard_fingers', Math.min(points.length, 2), a.x, a.y, b.x, b.y, moved ? 1 : 0);
}

let mouseMode = null; // 'one' or 'mirrored'
let centre = {x: 0, y: 0};
const touches = new Map(); // pointerId -> point

// The second finger mirrors the first about where the button went down.
function placeMouse(point, landing) {
  const drift = landing ? 0 : fingerDrift;
  const points = [point];
  if (mouseMode === 'mirrored') {
    points.push({x: 2 * centre.x - point.x + drift, y: 2 * centre.y - point.y});
  }
  fingers(points, !landing);
}

function passTouches(moved) {
  const ids = [...touches.keys()].sort((a, b) => a - b);
  fingers(
    ids.slice(0, 2).map((id) => touches.get(id)),
    moved,
  );
}

canvas.addEventListener('pointerdown', (event) => {
  if (failed || frameCount === 0) {
    return;
  }
  canvas.setPointerCapture(event.pointerId);
  const point = panelPoint(event);
  if (event.pointerType !== 'mouse') {
    touches.set(event.pointerId, point);
    passTouches(false);
  } else if (event.button === 2 || (event.button === 0 && event.ctrlKey)) {
    mouseMode = 'mirrored';
    centre = point;
    placeMouse(point, true);
  } else if (event.button === 0) {
    mouseMode = 'one';
    placeMouse(point, true);
  }
  event.preventDefault();
});

canvas.addEventListener('pointermove', (event) => {
  if (event.pointerType !== 'mouse') {
    if (touches.has(event.pointerId)) {
      touches.set(event.pointerId, panelPoint(event));
      passTouches(true);
    }
  } else if (mouseMode !== null) {
    placeMouse(panelPoint(event), false);
  }
});

function pointerUp(event) {
  if (event.pointerType !== 'mouse') {
    if (touches.delete(event.pointerId)) {
      passTouches(false);
    }
  } else if (mouseMode !== null) {
    fingers([], false);
    mouseMode = null;
  }
}
canvas.addEventListener('pointerup', pointerUp);
canvas.addEventListener('pointercancel', pointerUp);
canvas.addEventListener('contextmenu', (event) => event.preventDefault());

// One wheel step is a short pinch about the cursor, a finger state a frame.
canvas.addEventListener(
  'wheel',
  (event) => {
    event.preventDefault();
    if (failed || frameCount === 0 || event.deltaY === 0) {
      return;
    }
    const {x, y} = panelPoint(event);
    const factor = event.deltaY < 0 ? wheelStep : 1 / wheelStep;
    const spread = Math.trunc(wheelFingerSpread * factor);
    fingers(
      [
        {x: x - wheelFingerSpread, y},
        {x: x + wheelFingerSpread, y},
      ],
      false,
    );
    fingers(
      [
        {x: x - spread, y},
        {x: x + spread + fingerDrift, y},
      ],
      false,
    );
    fingers([], false);
  },
  {passive: false},
);

function png() {
  draw();
  return new Promise((resolve) => canvas.toBlob(resolve, 'image/png'));
}

function download(blob, extension) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(blob);
  link.download = 'mapboard-' + String(frameCount).padStart(6, '0') + extension;
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 1000);
}

function recording() {
  return started ? Module.UTF8ToString(call('webboard_recording')) : '';
}

document.getElementById('save-script').addEventListener('click', (event) => {
  event.currentTarget.blur();
  if (started) {
    download(new Blob([recording()], {type: 'text/plain'}), '.script');
  }
});

window.addEventListener('keydown', (event) => {
  if (failed || frameCount === 0 || event.repeat || event.ctrlKey || event.altKey || event.metaKey) {
    return;
  }
  const key = event.key.toUpperCase();
  if (key === 'M') {
    call('webboard_key', 'M'.charCodeAt(0));
  } else if (key === 'S') {
    png().then((blob) => download(blob, '.png'));
  }
});

// Frame rate and load, as the window's title shows them. Board time is
// virtual here, so the board's own load figure is always 0: the load is the
// share of the page's time the board's frame steps take.
let rateFrames = 0;
let rateTime = performance.now();
setInterval(() => {
  if (failed || frameCount === 0) {
    return;
  }
  const now = performance.now();
  const fps = Math.round(((frameCount - rateFrames) * 1000) / (now - rateTime));
  const load = Math.min(100, Math.round((busyMs * 100) / (now - rateTime)));
  const text = 'mapboard - ' + fps + ' fps, load ' + load + '%';
  document.title = text;
  const recordingEnd = call('webboard_recording_end');
  statusLine.textContent =
    recordingEnd === 0 ? text : text + ' - recording full (1 MiB): the script ends at frame ' + recordingEnd;
  rateFrames = frameCount;
  rateTime = now;
  busyMs = 0;
}, 500);

function play(script) {
  const length = Module.lengthBytesUTF8(script) + 1;
  const text = Module._malloc(length);
  Module.stringToUTF8(script, text, length);
  const played = call('webboard_play', text);
  Module._free(text);
  if (!played) {
    throw new Error(Module.UTF8ToString(call('webboard_script_error')));
  }
  if (releaseBoard) {
    releaseBoard();
    releaseBoard = null;
  }
}

// Script times count from the call: "0 drag 100 100 300 100 500".
window.mapboard = {
  // The module runs and takes play and run.
  get ready() {
    return started && !failed;
  },
  get frameCount() {
    return frameCount;
  },
  get screen() {
    return state() && state().screen;
  },
  get mapPosition() {
    return state() && state().map;
  },
  get pizza() {
    return state() && state().pizza;
  },
  get dogs() {
    return state() && state().dogs;
  },
  // The last frame's trace line, as mapboard --trace writes it.
  state,
  // One script line, or several.
  play,
  // Plays a script and runs `frames` frames as fast as the page allows;
  // resolves to the last frame's state. `eachFrame(state, stepMs)`, if
  // given, gets every frame's state and the time the board took for it.
  run(script, frames, eachFrame) {
    play(script);
    return new Promise((resolve) => {
      runs.push({until: frameCount + frames, resolve, eachFrame});
      runs.sort((a, b) => a.until - b.until);
    });
  },
  // What the display shows: RGB565 pixels, row by row, little-endian.
  frameBuffer() {
    const pixels = call('webboard_frame_buffer');
    return pixels === 0 ? null : Module.HEAPU8.slice(pixels, pixels + panelWidth * panelHeight * 2);
  },
  png,
  // Everything the board received from power-on, as mapboard --record
  // writes it; the Save script button downloads it.
  recording,
  // If set, gets every frame's state as the frame ends.
  onFrame: null,
};
