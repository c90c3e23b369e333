// page.js: the page's side: the dialog, message boxes, progress and results,
// driven by the worker that runs the core (web_host.js).
"use strict";

(() => {
  const $ = id => document.getElementById(id);
  // The View's controls by number (platform/view.h, enum Control).
  const kControls = ["caption", "Label1", "lblPW1", "lblFile", "txtPW1",
                     "txtPW2", "lblPW2", "cmdOK", "cmdCancel"];
  const kRows = {lblPW1: "rowPW1", txtPW1: "rowPW1", lblPW2: "rowPW2",
                 txtPW2: "rowPW2"};
  // Answers as the worker's WaitForMainEvent and MessageBox take them.
  const kEvent = {ok: 0, cancel: 1, close: 2};
  const kAnswer = {ok: 0, yes: 1, no: 2, cancel: 3};
  // Icons as the worker numbers them; 3 is the question of a set.
  const kIcons = ["i", "!", "?", "?"];
  // How long a result stays in the page for another download.
  const kKeepResults = 60000;

  const form = $("frmMain");
  const fileInput = $("file");
  let worker = null;
  let running = false;
  let waiting = false;  // the core waits for OK or Cancel
  let boxOpen = false;
  let links = [];

  function moduleBytes() {
    const decode = id => {
      const raw = atob($(id).textContent.trim());
      const bytes = new Uint8Array(raw.length);
      for (let i = 0; i < raw.length; ++i) bytes[i] = raw.charCodeAt(i);
      return bytes;
    };
    // "#portable" in the address forces the portable module (to compare).
    if (location.hash !== "#portable") {
      const simd = decode("wasmSimd128");
      if (WebAssembly.validate(simd)) return {path: "simd128", wasm: simd};
    }
    return {path: "portable", wasm: decode("wasmPortable")};
  }

  function startWorker() {
    const source = $("workerSource").textContent;
    const url = URL.createObjectURL(new Blob([source], {type: "text/javascript"}));
    worker = new Worker(url);
    URL.revokeObjectURL(url);
    worker.onmessage = event => onWorkerMessage(event.data);
    worker.onerror = event => fatal(event.message || "the worker failed");
    const module = moduleBytes();
    document.documentElement.dataset.cipherPath = module.path;
    worker.postMessage({type: "init", wasm: module.wasm.buffer}, [module.wasm.buffer]);
  }

  function fatal(text) {
    running = false;
    showBox("The page cannot work in this browser:\n" + text, 1, () => {});
    setIdle();
  }

  // --- The main dialog ----------------------------------------------------
  function setEnabled(enabled) {
    for (const id of ["txtPW1", "txtPW2", "cmdOK", "cmdCancel"])
      $(id).disabled = !enabled;
  }

  function setText(control, text) {
    const id = kControls[control];
    if (id === "caption") {
      $("caption").textContent = text;
      document.title = text + " - Ovalith 2.0";
    } else if (id === "txtPW1" || id === "txtPW2") {
      $(id).value = text;
    } else {
      $(id).textContent = text;
    }
  }

  function setVisible(control, visible) {
    const id = kControls[control];
    const element = $(kRows[id] || id);
    element.hidden = !visible;
    if (id === "txtPW2") $(id).disabled = !visible;
  }

  function resetDialog() {
    $("caption").textContent = "Encrypt";
    $("cmdOK").textContent = "Encrypt";
    $("lblFile").textContent = "(no file chosen)";
    $("lblFile").title = "";
    $("fileList").textContent = "";
    $("fileList").hidden = true;
    $("txtPW1").value = "";
    $("txtPW2").value = "";
    $("rowPW2").hidden = false;
    setEnabled(false);
  }

  function setIdle() {
    running = false;
    waiting = false;
    fileInput.disabled = false;
    $("dropZone").classList.remove("busy");
    resetDialog();
  }

  function answerMain(event) {
    if (!waiting || boxOpen) return;
    waiting = false;
    worker.postMessage({type: "main", event, password1: $("txtPW1").value,
                        password2: $("rowPW2").hidden ? "" : $("txtPW2").value});
  }

  form.addEventListener("submit", event => {
    event.preventDefault();
    answerMain(kEvent.ok);
  });
  $("cmdCancel").addEventListener("click", () => answerMain(kEvent.cancel));
  // Escape: Cancel in the dialog, stop while files are being done.
  function stop() {
    if (!running || waiting || boxOpen) return;
    worker.postMessage({type: "stop"});
    $("cmdStop").disabled = true;
  }
  $("cmdStop").addEventListener("click", stop);
  document.addEventListener("keydown", event => {
    if (event.key !== "Escape" || boxOpen) return;
    event.preventDefault();
    if (waiting) answerMain(kEvent.cancel);
    else stop();
  });

  // --- Message boxes ------------------------------------------------------
  let boxes = 0;
  function showBox(text, icon, answer) {
    boxOpen = true;
    $("msgBox").dataset.serial = ++boxes;
    const opener = document.activeElement;
    $("msgText").textContent = text.replace(/\r\n/g, "\n");
    $("msgIcon").textContent = kIcons[icon] || "i";
    $("msgIcon").className = "icon-" + (icon >= 2 ? "question" : icon === 1 ? "warning" : "info");
    const buttons = $("msgButtons");
    buttons.textContent = "";
    const choices = icon === 3 ? [["Yes", kAnswer.yes], ["No", kAnswer.no],
                                  ["Cancel", kAnswer.cancel]]
                  : icon === 2 ? [["Yes", kAnswer.yes], ["No", kAnswer.no]]
                               : [["OK", kAnswer.ok]];
    // A question's default is No: Enter never replaces a file.
    const initial = icon >= 2 ? 1 : 0;
    const close = value => {
      $("msgBackdrop").hidden = true;
      document.removeEventListener("keydown", keys, true);
      boxOpen = false;
      if (waiting) {
        $("txtPW1").focus();
        $("txtPW1").select();
      } else if (opener && opener.focus && !opener.disabled) {
        opener.focus();
      }
      answer(value);
    };
    // Escape answers No to a question, OK to anything else; Tab stays in
    // the box.
    const keys = event => {
      if (event.key === "Escape") {
        event.preventDefault();
        event.stopPropagation();
        close(choices[choices.length - 1][1]);
      } else if (event.key === "Tab") {
        const all = [...buttons.querySelectorAll("button")];
        const at = all.indexOf(document.activeElement);
        const next = (at + (event.shiftKey ? all.length - 1 : 1)) % all.length;
        event.preventDefault();
        all[next].focus();
      }
    };
    for (const [label, value] of choices) {
      const button = document.createElement("button");
      button.type = "button";
      button.textContent = label;
      button.addEventListener("click", () => close(value));
      buttons.appendChild(button);
    }
    $("msgBackdrop").hidden = false;
    document.addEventListener("keydown", keys, true);
    buttons.querySelectorAll("button")[initial].focus();
  }

  // --- Progress and results -----------------------------------------------
  function progress(message) {
    const panel = $("progressPanel");
    const bar = $("progress");
    if (message.hidden) { panel.hidden = true; return; }
    panel.hidden = false;
    if (message.caption !== undefined) {
      $("progressCaption").textContent = message.caption;
      $("cmdStop").disabled = false;
    }
    if (message.step !== undefined) $("progressStep").textContent = message.step;
    if (message.max !== undefined) bar.max = Math.max(1, message.max);
    if (message.value !== undefined) bar.value = message.value;
  }

  function sizeText(bytes) {
    if (bytes < 1024) return bytes + " bytes";
    if (bytes < 1048576) return (bytes / 1024).toFixed(1) + " KiB";
    return (bytes / 1048576).toFixed(1) + " MiB";
  }

  function offer(name, blob) {
    const url = URL.createObjectURL(blob);
    links.push(url);
    const item = document.createElement("li");
    item.dataset.name = name;
    const link = document.createElement("a");
    link.href = url;
    link.download = name;
    link.textContent = name;
    item.append(link, " (" + sizeText(blob.size) + ")");
    $("results").appendChild(item);
    $("resultsPanel").hidden = false;
    link.click();
    // The browser holds what it saves; the page lets go of its copy after
    // a while, and the link with it.
    setTimeout(() => {
      URL.revokeObjectURL(url);
      link.replaceWith(name);
    }, kKeepResults);
  }

  function setDetails(control, text) {
    if (kControls[control] !== "lblFile") return;
    const names = text.split("\n").filter(name => name !== "");
    $("lblFile").title = text;
    const list = $("fileList");
    list.textContent = "";
    for (const name of names) {
      const item = document.createElement("li");
      item.textContent = name;
      list.appendChild(item);
    }
    list.hidden = names.length < 2;
  }

  function onWorkerMessage(message) {
    switch (message.type) {
      case "ready":
        document.documentElement.dataset.ready = "true";
        break;
      case "setText": setText(message.control, message.text); break;
      case "details": setDetails(message.control, message.text); break;
      case "setVisible": setVisible(message.control, message.visible); break;
      case "enabled": setEnabled(message.enabled); break;
      case "wait":
        waiting = true;
        setEnabled(true);
        if (!$("rowPW2").hidden) $("txtPW2").disabled = false;
        // Again after a refusal: the first box, its text ready to be
        // typed over.
        if (!boxOpen) {
          $("txtPW1").focus();
          $("txtPW1").select();
        }
        break;
      case "unload": resetDialog(); $("progressPanel").hidden = true; break;
      case "message":
        showBox(message.text, message.icon,
                answer => worker.postMessage({type: "answer", answer}));
        break;
      case "progress": progress(message); break;
      case "result": offer(message.name, message.blob); break;
      case "done":
        document.documentElement.dataset.status = message.status;
        setIdle();
        fileInput.value = "";
        fileInput.focus();
        break;
      case "fatal": fatal(message.text); break;
    }
  }

  // --- Choosing files -----------------------------------------------------
  function start(fileList) {
    const files = [...fileList];
    if (running || files.length === 0) return;
    for (const url of links) URL.revokeObjectURL(url);
    links = [];
    delete document.documentElement.dataset.status;
    $("results").textContent = "";
    $("resultsPanel").hidden = true;
    running = true;
    fileInput.disabled = true;
    $("dropZone").classList.add("busy");
    worker.postMessage({type: "run", files});
  }

  fileInput.addEventListener("change", () => start(fileInput.files));
  document.addEventListener("dragover", event => {
    event.preventDefault();
    event.dataTransfer.dropEffect = running ? "none" : "copy";
    $("dropZone").classList.add("over");
  });
  document.addEventListener("dragleave", () => $("dropZone").classList.remove("over"));
  document.addEventListener("drop", event => {
    event.preventDefault();
    $("dropZone").classList.remove("over");
    start(event.dataTransfer.files);
  });

  startWorker();
})();
