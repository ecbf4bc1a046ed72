// The page around the simulator board: draws its display, turns mouse,
// fingers and keys into its input as mapboard's window does, saves what
// the board received as a script, restarts the board after a watchdog
// reset, and offers window.mapboard for scripts and tests.
'use strict';

// The board's panel size and frame rate: board_config.js, which the build
// makes from the board's header, loads first.
const {panelWidth, panelHeight, framesPerSecond} = boardConfig;
// Right or Ctrl+drag: the second finger mirrors the first about the
// display's centre, a pinch about the centre.
const mirrorX = panelWidth / 2;
const mirrorY = panelHeight / 2;
// A wheel step is a pinch about the cursor from 60 px either side to 75 (in)
// or 48 (out): x1.25 and x0.8, so a step out undoes a step in.
const wheelFingerSpread = 60;
const wheelSpreadIn = 75;
const wheelSpreadOut = 48;
// Board frames follow the display's refresh; a faster screen must not run
// the board faster.
const shortestFrameMs = 1000 / framesPerSecond - 2;
// During mapboard.run the page still gets a turn this often.
const runYieldMs = 50;
// An hour of board time, as mapboard --soak runs: a longer run is a mistake.
const maxRunFrames = 3600 * framesPerSecond;
// As mapboard --script: a person writes a script, and it is read at once.
const maxScriptBytes = 1 << 20;
// The whole panel in whole device pixels unless that loses more than a
// quarter of the size the window allows; then smoothly scaled to fill it.
const crispShare = 0.75;

const canvas = document.getElementById('display');
const context = canvas.getContext('2d');
const boardArea = document.getElementById('board');
const controls = document.getElementById('controls');
const statusLine = document.getElementById('status');
const rateLine = document.getElementById('rate');

let failed = false;
function mapboardFailed(why) {
  if (failed) {
    return;
  }
  failed = true;
  document.getElementById('board').hidden = true;
  document.getElementById('help').hidden = true;
  rateLine.textContent = '';
  statusLine.textContent = 'mapboard cannot run here: ' + why;
}

// Something went wrong but the board goes on: the console gets the error,
// the status line says what happened.
function report(what, error) {
  console.error('mapboard: ' + what, error);
  statusLine.textContent = what + ': ' + (error instanceof Error ? error.message : String(error));
}

let board = null; // the module while the board runs; null while it restarts
let started = false;
let frameCount = 0; // frames since the page opened, across restarts
let boardFrames = 0; // frames of this board since its power-on
let lastState = null;
let lastShownMs = 0;
let lastYieldMs = 0;
// When the board last got the processor back from the page: a frame step's
// time is from here to the end of the frame's drawing.
let boardResumedMs = 0;
let frameDrawnMs = 0;
// The frame steps' time since the rate line last changed.
let busyMs = 0;
const runs = []; // {until, resolve, reject, eachFrame}
let onFrame = null;
// Once the watchdog reset the board, the recording up to the reset.
let recordingAtReset = null;
let resetFrame = 0;

// index.html?hold keeps the board at power-on until the first play or run.
let releaseBoard = null;
const boardReleased = new URLSearchParams(location.search).has('hold')
  ? new Promise((resolve) => (releaseBoard = resolve))
  : Promise.resolve();

function call(name, ...args) {
  return board['_' + name](...args);
}

function state() {
  if (lastState === null && board !== null && boardFrames > 0) {
    lastState = JSON.parse(board.UTF8ToString(call('webboard_state')));
  }
  return lastState;
}

function draw() {
  const pixels = board === null ? 0 : call('webboard_rgba');
  if (pixels === 0) {
    return;
  }
  const bytes = new Uint8ClampedArray(board.HEAPU8.buffer, pixels, panelWidth * panelHeight * 4);
  context.putImageData(new ImageData(bytes, panelWidth, panelHeight), 0, 0);
}

function nextAnimationFrame() {
  return new Promise((resolve) => requestAnimationFrame(resolve));
}

function visibleAgain() {
  return new Promise((resolve) => {
    const seen = () => {
      if (!document.hidden) {
        document.removeEventListener('visibilitychange', seen);
        resolve();
      }
    };
    document.addEventListener('visibilitychange', seen);
  });
}

// Called by the board at the end of each frame. Nothing may throw back into
// the board: a callback's error is reported and the board goes on.
function onBoardFrame() {
  const stepMs = frameDrawnMs - boardResumedMs;
  frameCount += 1;
  boardFrames += 1;
  busyMs += stepMs;
  lastState = null;
  if (onFrame !== null) {
    try {
      onFrame(state());
    } catch (error) {
      onFrame = null;
      report('mapboard.onFrame threw and is no longer called', error);
    }
  }
  for (const run of runs.slice()) {
    if (run.eachFrame) {
      try {
        run.eachFrame(state(), stepMs);
      } catch (error) {
        runs.splice(runs.indexOf(run), 1);
        report("a run's eachFrame threw; the run is rejected", error);
        run.reject(error);
      }
    }
  }
  while (runs.length > 0 && frameCount >= runs[0].until) {
    runs.shift().resolve(state());
  }
}

// Called by the board between frames: the page's turn. A hidden page gets
// no animation frames, and runs wait for it too rather than crawl on
// throttled timers.
async function onBoardWait() {
  const now = performance.now();
  if (runs.length > 0 && now - lastYieldMs < runYieldMs && !document.hidden) {
    boardResumedMs = performance.now();
    return;
  }
  draw();
  if (document.hidden) {
    await visibleAgain();
  }
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

// The board goes back to power-on as after a real reset: a new module, so
// that every static starts afresh. Frames go on counting; the recording
// ends at the reset, as mapboard --record's does.
function onWatchdogReset() {
  if (recordingAtReset === null) {
    recordingAtReset = recording();
    resetFrame = frameCount;
  }
  console.warn('mapboard: the watchdog reset the board after frame ' + frameCount + '; it restarts');
  statusLine.textContent = 'The watchdog reset the board after frame ' + frameCount + ': it restarts.';
}

function onBoardEnded() {
  board = null;
  // The old module's turn ends first.
  setTimeout(() => startBoard(frameCount), 0);
}

function download(blob, name) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(blob);
  link.download = name;
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 1000);
}

function framedName(extension) {
  return 'mapboard-' + String(frameCount).padStart(6, '0') + extension;
}

function png() {
  draw();
  return new Promise((resolve) => canvas.toBlob(resolve, 'image/png'));
}

// S and a script's screenshot step: the display as a PNG download.
function screenshot(file) {
  const name = file === '' ? framedName('.png') : file.slice(file.lastIndexOf('/') + 1);
  png().then((blob) => download(blob, name));
}

// Compiled once: a restarted board instantiates the same module afresh.
let compiling = null;
function compiledModule() {
  if (compiling === null) {
    compiling = fetch('webboard.wasm').then((response) => {
      if (!response.ok) {
        throw new Error('HTTP ' + response.status);
      }
      const type = response.headers.get('Content-Type') || '';
      return type.startsWith('application/wasm')
        ? WebAssembly.compileStreaming(response)
        : response.arrayBuffer().then((bytes) => WebAssembly.compile(bytes));
    });
  }
  return compiling;
}

function startBoard(firstFrame) {
  const module = {
    webboardFrameDrawn: () => (frameDrawnMs = performance.now()),
    webboardFrame: onBoardFrame,
    webboardNextFrame: onBoardWait,
    webboardStart: async () => {
      await boardReleased;
      boardResumedMs = performance.now();
    },
    webboardFirstFrame: firstFrame,
    webboardWatchdogReset: onWatchdogReset,
    webboardEnded: onBoardEnded,
    webboardScreenshot: screenshot,
    instantiateWasm: (imports, receive) => {
      compiledModule()
        .then((compiled) => WebAssembly.instantiate(compiled, imports).then((instance) => receive(instance, compiled)))
        .catch((error) => mapboardFailed('webboard.wasm cannot be loaded (' + (error.message || error) + ')'));
      return {};
    },
    // Before main: its first frames call back into the page.
    onRuntimeInitialized: () => {
      board = module;
      boardFrames = 0;
      if (!started) {
        started = true;
        statusLine.textContent = '';
      }
    },
    onAbort: (what) => mapboardFailed(started ? String(what) : 'webboard.wasm cannot be loaded (' + what + ')'),
  };
  createWebboard(module).catch((error) => mapboardFailed(String(error && error.message ? error.message : error)));
}

// Scaled to fit the space the page leaves it beside its buttons (below them
// when upright), measured after layout: by whole device pixels where that
// loses little, else smoothly.
function fit() {
  const ratio = window.devicePixelRatio || 1;
  const style = getComputedStyle(boardArea);
  let width = boardArea.clientWidth - parseFloat(style.paddingLeft) - parseFloat(style.paddingRight);
  let height = boardArea.clientHeight - parseFloat(style.paddingTop) - parseFloat(style.paddingBottom);
  if (style.flexDirection === 'column') {
    height -= controls.offsetHeight + parseFloat(style.rowGap);
  } else {
    width -= controls.offsetWidth + parseFloat(style.columnGap);
  }
  if (width <= 0 || height <= 0) {
    return;
  }
  const fitting = Math.min((width * ratio) / panelWidth, (height * ratio) / panelHeight);
  const whole = Math.floor(fitting);
  const crisp = whole >= 1 && whole >= crispShare * fitting;
  const scale = crisp ? whole : fitting;
  canvas.style.width = (panelWidth * scale) / ratio + 'px';
  canvas.style.height = (panelHeight * scale) / ratio + 'px';
  canvas.style.imageRendering = crisp ? 'pixelated' : 'auto';
}
new ResizeObserver(fit).observe(boardArea);
window.addEventListener('resize', fit);
window.addEventListener('orientationchange', fit);
fit();

function running() {
  return !failed && board !== null && boardFrames > 0;
}

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
  if (board === null) {
    return;
  }
  const a = points[0] || {x: 0, y: 0};
  const b = points[1] || {x: 0, y: 0};
  call('webboard_fingers', Math.min(points.length, 2), a.x, a.y, b.x, b.y, moved ? 1 : 0);
}

function clamp(value, size) {
  return Math.min(Math.max(value, 0), size - 1);
}

let mouseMode = null; // 'one' or 'two'
const touches = new Map(); // pointerId -> point

function placeMouse(point, landing) {
  const points = [point];
  if (mouseMode === 'two') {
    points.push({x: clamp(2 * mirrorX - point.x, panelWidth), y: clamp(2 * mirrorY - point.y, panelHeight)});
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
  if (!running()) {
    return;
  }
  canvas.setPointerCapture(event.pointerId);
  const point = panelPoint(event);
  if (event.pointerType !== 'mouse') {
    touches.set(event.pointerId, point);
    passTouches(false);
  } else if (event.button === 2 || (event.button === 0 && event.ctrlKey)) {
    mouseMode = 'two';
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
    if (!running() || event.deltaY === 0) {
      return;
    }
    const {x, y} = panelPoint(event);
    const spread = event.deltaY < 0 ? wheelSpreadIn : wheelSpreadOut;
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
        {x: x + spread, y},
      ],
      false,
    );
    fingers([], false);
  },
  {passive: false},
);

function recording() {
  if (recordingAtReset !== null) {
    return recordingAtReset;
  }
  return board === null ? '' : board.UTF8ToString(call('webboard_recording'));
}

function pressMenu() {
  if (running()) {
    call('webboard_key', 'M'.charCodeAt(0));
  }
}

function saveScreenshot() {
  if (running()) {
    screenshot('');
  }
}

document.getElementById('menu').addEventListener('click', pressMenu);
document.getElementById('screenshot').addEventListener('click', saveScreenshot);
document.getElementById('save-script').addEventListener('click', () => {
  if (started) {
    download(new Blob([recording()], {type: 'text/plain'}), framedName('.script'));
  }
});

window.addEventListener('keydown', (event) => {
  if (event.repeat || event.ctrlKey || event.altKey || event.metaKey) {
    return;
  }
  const key = event.key.toUpperCase();
  if (key === 'M') {
    pressMenu();
  } else if (key === 'S') {
    saveScreenshot();
  }
});

// Frame rate and load, as the window's title shows them. Board time is
// virtual here, so the board's own load figure is always 0: the load is the
// share of the page's time the board's frame steps take.
let rateFrames = 0;
let rateTime = performance.now();
setInterval(() => {
  if (failed || !started) {
    return;
  }
  const now = performance.now();
  const fps = Math.round(((frameCount - rateFrames) * 1000) / (now - rateTime));
  const load = Math.min(100, Math.round((busyMs * 100) / (now - rateTime)));
  const text = 'mapboard - ' + fps + ' fps, load ' + load + '%';
  document.title = text;
  let ends = '';
  if (recordingAtReset !== null) {
    ends = ' - the recording ends at the watchdog reset after frame ' + resetFrame;
  } else if (board !== null && call('webboard_recording_end') !== 0) {
    ends = ' - recording full (1 MiB): the script ends at frame ' + call('webboard_recording_end');
  }
  rateLine.textContent = text + ends;
  rateFrames = frameCount;
  rateTime = now;
  busyMs = 0;
}, 500);

function kind(value) {
  return value === null ? 'null' : Array.isArray(value) ? 'an array' : typeof value;
}

// Wrong types and sizes are refused before anything reaches the board.
function checkScript(script, caller) {
  if (typeof script !== 'string') {
    throw new TypeError(caller + ': script must be a string of script lines, not ' + kind(script));
  }
  if (board === null) {
    throw new Error(caller + ': the board is not running (see mapboard.ready)');
  }
  if (board.lengthBytesUTF8(script) > maxScriptBytes) {
    throw new RangeError(caller + ': script: larger than the ' + maxScriptBytes + ' bytes a script may hold');
  }
}

function play(script) {
  checkScript(script, 'mapboard.play');
  const length = board.lengthBytesUTF8(script) + 1;
  const text = board._malloc(length);
  board.stringToUTF8(script, text, length);
  const played = call('webboard_play', text);
  board._free(text);
  if (!played) {
    throw new Error(board.UTF8ToString(call('webboard_script_error')));
  }
  if (releaseBoard) {
    releaseBoard();
    releaseBoard = null;
  }
}

function run(script, frames, eachFrame) {
  checkScript(script, 'mapboard.run');
  if (typeof frames !== 'number') {
    throw new TypeError('mapboard.run: frames must be a number, not ' + kind(frames));
  }
  if (!Number.isInteger(frames) || frames < 1 || frames > maxRunFrames) {
    throw new RangeError('mapboard.run: frames must be a whole number from 1 to ' + maxRunFrames + ', not ' + frames);
  }
  if (eachFrame !== undefined && eachFrame !== null && typeof eachFrame !== 'function') {
    throw new TypeError('mapboard.run: eachFrame must be a function, not ' + kind(eachFrame));
  }
  play(script);
  return new Promise((resolve, reject) => {
    runs.push({until: frameCount + frames, resolve, reject, eachFrame});
    runs.sort((a, b) => a.until - b.until);
  });
}

// Script times count from the call: "0 drag 100 100 300 100 500".
window.mapboard = {
  // The module runs and takes play and run (false while it restarts).
  get ready() {
    return started && !failed && board !== null;
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
  // One script line, or several; throws on a line it refuses.
  play,
  // Plays a script and runs `frames` frames (1 to maxRunFrames) as fast as the
  // page allows; resolves to the last frame's state. `eachFrame(state,
  // stepMs)`, if given, gets every frame's state and the time the board
  // took for it; if it throws, the run is rejected with its error.
  run,
  // What the display shows: RGB565 pixels, row by row, little-endian.
  frameBuffer() {
    const pixels = board === null ? 0 : call('webboard_frame_buffer');
    return pixels === 0 ? null : board.HEAPU8.slice(pixels, pixels + panelWidth * panelHeight * 2);
  },
  png,
  // Everything the board received from power-on, as mapboard --record
  // writes it; the Save script button downloads it.
  recording,
  // If set, a function that gets every frame's state as the frame ends; one
  // that throws is reported and dropped.
  get onFrame() {
    return onFrame;
  },
  set onFrame(callback) {
    if (callback !== null && callback !== undefined && typeof callback !== 'function') {
      throw new TypeError('mapboard.onFrame must be a function or null, not ' + kind(callback));
    }
    onFrame = callback || null;
  },
};

// webboard.js, loaded after this script, starts the board.
function mapboardLoaded() {
  if (!failed) {
    startBoard(0);
  }
}

// A page opened from a file may not fetch its module.
if (location.protocol === 'file:') {
  mapboardFailed('opened from a file, it cannot load its module: serve this folder (make serve-web) and open its address');
} else if (typeof WebAssembly !== 'object') {
  mapboardFailed('WebAssembly is not available');
} else {
  // Some failures to fetch the module reach no handler of the runtime's.
  window.addEventListener('unhandledrejection', (event) => {
    if (!started) {
      mapboardFailed(String(event.reason && event.reason.message ? event.reason.message : event.reason));
    }
  });
  // While webboard.js loads.
  compiledModule().catch(() => {});
}
