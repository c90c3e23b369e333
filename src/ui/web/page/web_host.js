// web_host.js: the worker's side of the page.  It runs the core (the
// Emscripten module before this text, OvalithModule) on each chosen file and
// is what the WebSystem and WebView call (Module.host): a flat directory of
// Blobs, inputs read in slices, outputs gathered into Blobs, and the view's
// calls passed on to the page as messages.
"use strict";

// Bytes read from a file at once, and kept in pieces before they are folded
// into one Blob (the browser keeps a Blob out of the worker's memory).
const kReadSlice = 8 << 20;
const kFoldBytes = 32 << 20;

const dir = new Map();  // name -> Blob, or an output being written
const inputs = new Map();
const outputs = new Map();
let nextHandle = 1;
let module = null;
let texts = [];
let answerMain = null;
let answerBox = null;
let stopAsked = false;

function post(message) { self.postMessage(message); }

function foldOutput(out) {
  if (out.parts.length === 0) return;
  out.blob = new Blob([out.blob, ...out.parts]);
  out.parts = [];
  out.pending = 0;
}

const host = {
  chosen: [],  // the names of the set being done
  newString(text) {
    const size = module.lengthBytesUTF8(text) + 1;
    const copy = module._malloc(size);
    module.stringToUTF8(text, copy, size);
    return copy;
  },
  exists(name) { return dir.has(name); },
  size(name) {
    const entry = dir.get(name);
    if (entry === undefined) return -1;
    return entry instanceof Blob ? entry.size : entry.blob.size + entry.pending;
  },
  openInput(name) {
    const entry = dir.get(name);
    if (!(entry instanceof Blob)) return -1;
    const handle = nextHandle++;
    inputs.set(handle, {blob: entry, pos: 0, slice: null, at: 0});
    return handle;
  },
  read(handle, buf, n) {
    const input = inputs.get(handle);
    try {
      let done = 0;
      while (done < n) {
        if (input.slice === null || input.at === input.slice.length) {
          if (input.pos >= input.blob.size) break;
          const end = Math.min(input.blob.size, input.pos + kReadSlice);
          input.slice = new Uint8Array(new FileReaderSync().readAsArrayBuffer(
              input.blob.slice(input.pos, end)));
          input.pos = end;
          input.at = 0;
          if (input.slice.length === 0) break;
        }
        const take = Math.min(n - done, input.slice.length - input.at);
        module.HEAPU8.set(input.slice.subarray(input.at, input.at + take),
                          buf + done);
        input.at += take;
        done += take;
      }
      return done;
    } catch (e) {
      return -1;
    }
  },
  closeInput(handle) { inputs.delete(handle); },
  create(name) {
    if (dir.has(name)) return -1;
    const handle = nextHandle++;
    const out = {name, blob: new Blob([]), parts: [], pending: 0};
    outputs.set(handle, out);
    dir.set(name, out);
    return handle;
  },
  write(handle, data, n) {
    const out = outputs.get(handle);
    try {
      out.parts.push(module.HEAPU8.slice(data, data + n));
      out.pending += n;
      if (out.pending >= kFoldBytes) foldOutput(out);
      return true;
    } catch (e) {
      return false;
    }
  },
  // False when the browser could not keep the output (its storage for
  // Blobs full): reading its last byte tells, and the run then fails.
  closeOutput(handle) {
    const out = outputs.get(handle);
    if (out === undefined) return true;
    outputs.delete(handle);
    try {
      foldOutput(out);
      // From now on the directory holds the finished Blob.
      if (dir.get(out.name) === out) dir.set(out.name, out.blob);
      if (out.blob.size > 0)
        new FileReaderSync().readAsArrayBuffer(out.blob.slice(out.blob.size - 1));
      return true;
    } catch (e) {
      return false;
    }
  },
  replace(tempName, finalName) {
    const entry = dir.get(tempName);
    dir.delete(tempName);
    dir.set(finalName, entry);
    post({type: "result", name: finalName, blob: entry});
  },
  remove(name) { dir.delete(name); },

  setText(control, text) {
    texts[control] = text;
    post({type: "setText", control, text});
  },
  getText(control) { return texts[control] === undefined ? "" : texts[control]; },
  setDetails(control, text) { post({type: "details", control, text}); },
  setVisible(control, visible) { post({type: "setVisible", control, visible}); },
  setMainEnabled(enabled) { post({type: "enabled", enabled}); },
  waitForMainEvent() {
    post({type: "wait"});
    return new Promise(resolve => { answerMain = resolve; });
  },
  unloadWindows() { post({type: "unload"}); },
  messageBox(text, icon) {
    post({type: "message", text, icon});
    return new Promise(resolve => { answerBox = resolve; });
  },
  progressShow(caption) { post({type: "progress", caption}); },
  progressSetMax(max) { post({type: "progress", max}); },
  progressSetValue(value) { post({type: "progress", value}); },
  progressHide() { post({type: "progress", hidden: true}); },
  progressSetStep(step) { post({type: "progress", step}); },
  // The page's messages wait for the core to let go; a message channel
  // lets them through without a timer's delay.
  stopRequested() {
    return new Promise(resolve => {
      const channel = new MessageChannel();
      channel.port1.onmessage = () => resolve(stopAsked);
      channel.port2.postMessage(0);
    });
  },
};

// One run of the core on the set of files; its exit status.
async function runSet(files) {
  dir.clear();
  // One directory: of two files of the same name, the first is taken.
  files = files.filter(file => !dir.has(file.name) && dir.set(file.name, file));
  host.chosen = files.map(file => file.name);
  texts = [];
  stopAsked = false;
  const status = await module.ccall("ovalith_run", "number", [], [],
                                    {async: true});
  dir.clear();
  post({type: "done", status});
}

self.onmessage = async (event) => {
  const message = event.data;
  try {
    if (message.type === "init") {
      module = await OvalithModule({wasmBinary: message.wasm, host,
                                    print: () => {}, printErr: () => {}});
      post({type: "ready"});
    } else if (message.type === "run") {
      await runSet(message.files);
    } else if (message.type === "main") {
      texts[4] = message.password1;
      texts[5] = message.password2;
      const resolve = answerMain;
      answerMain = null;
      if (resolve) resolve(message.event);
    } else if (message.type === "stop") {
      stopAsked = true;
    } else if (message.type === "answer") {
      const resolve = answerBox;
      answerBox = null;
      if (resolve) resolve(message.answer);
    }
  } catch (e) {
    post({type: "fatal", text: String(e && e.message ? e.message : e)});
  }
};
