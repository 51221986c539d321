// The settings page's script. It keeps what the administrator did (the file
// as opened, the edits in order, the users' separators, the sample
// documents) and shows what the add-in's own code, compiled to WebAssembly
// (web/settings_page.cpp), makes of it: every value, finding, preview row and
// byte of the settings file comes from there.
"use strict";

const USER_DEFINED = "{D5CDD505-2E9C-101B-9397-08002B2CF9AE}";
const PAPER_SIZES = ["USER", "A", "B", "C", "D", "E", "F", "A0", "A1", "A2", "A3", "A4"];

const state = {
  catalogue: [], // the settings in load order, with type and default
  fileName: "Vantelo.ini",
  original: null, // the bytes as opened; null: start from no file
  edits: [], // {section, key, value} or {addMissingKeys: true}, in order
  spelledAtOpen: {}, // each key's value as the opened file spells it
  handle: null, // the opened file, where the browser lets the page write it
  unicode: false,
  bytes: null, // the file as it will be written
  check: null, // `settings check` of that file
  timings: [], // milliseconds of each update, for the benchmark
  saveTimings: [], // of the add-in's saves within each update's preview
  shownPreviews: new Map(), // each document's preview as shown, as JSON
};

const $ = (id) => document.getElementById(id);

// Sets a text only when it differs, so that an unchanged one costs no layout.
function setText(node, text) {
  if (node.textContent !== text) node.textContent = text;
}

function element(tag, attributes = {}, ...children) {
  const node = document.createElement(tag);
  for (const [name, value] of Object.entries(attributes)) {
    if (value === undefined || value === null || value === false) continue;
    if (name === "text") node.textContent = value;
    else if (name === "className") node.className = value;
    else node.setAttribute(name, value === true ? "" : value);
  }
  for (const child of children) if (child) node.append(child);
  return node;
}

// ---- The sample documents ------------------------------------------------

function numberList(text) {
  const parts = text.split(/[\s,;]+/).filter((part) => part !== "");
  const numbers = parts.map(Number);
  if (parts.length === 0 || numbers.some((n) => !Number.isFinite(n)))
    throw new Error(`"${text}" is not a list of numbers`);
  return numbers;
}

function numberField(text, what) {
  const n = Number(text);
  if (text.trim() === "" || !Number.isFinite(n)) throw new Error(`${what}: "${text}" is not a number`);
  return n;
}

// The document units fields that several samples share.
const MASS_UNIT_FIELD = { id: "massUnit", label: "Mass unit", kind: "choice", choices: ["kg", "g", "lbmass"], value: "kg" };
const LENGTH_UNIT_FIELD = { id: "lengthUnit", label: "Length unit", kind: "choice", choices: ["mm", "cm", "m", "in"], value: "mm" };
const DECIMALS_FIELD = { id: "decimals", label: "Display decimals", kind: "number", value: "2" };

// Each sample: its fields (id, label, kind, default) and the scene it makes,
// in the scene format of `vantelo save`.
const SAMPLES = [
  {
    id: "drawing",
    title: "Drawing",
    fields: [
      { id: "name", label: "Name", kind: "text", value: "Bracket.idw" },
      { id: "size1", label: "Sheet 1 paper size", kind: "paper", value: "A3" },
      { id: "views1", label: "Sheet 1 view scales", kind: "text", value: "0.5, 0.25, 2" },
      { id: "size2", label: "Sheet 2 paper size", kind: "paper", value: "A1" },
      { id: "views2", label: "Sheet 2 view scales", kind: "text", value: "1, 0.5, 1.5" },
    ],
    scene: (f) => ({
      documents: [{
        name: f.name, type: "drawing",
        sheets: [{ size: f.size1, views: numberList(f.views1) },
                 { size: f.size2, views: numberList(f.views2) }],
      }],
    }),
  },
  {
    id: "part",
    title: "Part",
    fields: [
      { id: "name", label: "Name", kind: "text", value: "Shaft.ipt" },
      { id: "mass", label: "Mass (kg)", kind: "number", value: "0.465" },
      { id: "volume", label: "Volume (cm³)", kind: "number", value: "59.24" },
      MASS_UNIT_FIELD,
      LENGTH_UNIT_FIELD,
      DECIMALS_FIELD,
    ],
    scene: (f) => ({
      documents: [{
        name: f.name, type: "part",
        units: { mass: f.massUnit, length: f.lengthUnit, displayDecimals: numberField(f.decimals, "Display decimals") },
        massProperties: { mass: numberField(f.mass, "Mass"), volume: numberField(f.volume, "Volume") },
      }],
    }),
  },
  {
    id: "sheetMetal",
    title: "Sheet-metal part",
    fields: [
      { id: "name", label: "Name", kind: "text", value: "Cover.ipt" },
      { id: "flat", label: "Has a flat pattern", kind: "check", value: true },
      { id: "width", label: "Flat pattern width (cm)", kind: "number", value: "12.5" },
      { id: "length", label: "Flat pattern length (cm)", kind: "number", value: "4" },
      { id: "thickness", label: "Thickness (cm)", kind: "number", value: "0.15" },
      { id: "thicknessUnit", label: "Thickness unit text", kind: "text", value: "mm" },
      { id: "style", label: "Style", kind: "text", value: "Steel 1.5 mm" },
      LENGTH_UNIT_FIELD,
      DECIMALS_FIELD,
    ],
    scene: (f) => {
      const thickness = numberField(f.thickness, "Thickness");
      return {
        documents: [{
          name: f.name, type: "part",
          units: { length: f.lengthUnit, displayDecimals: numberField(f.decimals, "Display decimals") },
          massProperties: { mass: 0.59, volume: 75 },
          sheetMetal: {
            thickness, thicknessUnit: f.thicknessUnit, style: f.style,
            flatPattern: f.flat ? { min: [0, 0, 0],
                                    max: [numberField(f.width, "Width"), numberField(f.length, "Length"), thickness] }
                                : null,
          },
        }],
      };
    },
  },
  {
    id: "assembly",
    title: "Assembly",
    fields: [
      { id: "name", label: "Name", kind: "text", value: "Frame.iam" },
      { id: "mass", label: "Mass (kg)", kind: "number", value: "12.5" },
      { id: "volume", label: "Volume (cm³)", kind: "number", value: "1580.125" },
      MASS_UNIT_FIELD,
      LENGTH_UNIT_FIELD,
    ],
    scene: (f) => ({
      documents: [{
        name: f.name, type: "assembly",
        units: { mass: f.massUnit, length: f.lengthUnit },
        massProperties: { mass: numberField(f.mass, "Mass"), volume: numberField(f.volume, "Volume") },
      }],
    }),
  },
];

function sampleValues(sample) {
  const values = {};
  for (const field of sample.fields) {
    const input = $(`sample-${sample.id}-${field.id}`);
    values[field.id] = field.kind === "check" ? input.checked : input.value;
  }
  return values;
}

function buildSamples() {
  const container = $("previews");
  for (const sample of SAMPLES) {
    const fields = element("div", { className: "sample-fields" });
    for (const field of sample.fields) {
      const id = `sample-${sample.id}-${field.id}`;
      let input;
      if (field.kind === "paper" || field.kind === "choice") {
        input = element("select", { id });
        for (const choice of field.kind === "paper" ? PAPER_SIZES : field.choices)
          input.append(element("option", { value: choice, text: choice, selected: choice === field.value }));
      } else if (field.kind === "check") {
        input = element("input", { id, type: "checkbox", checked: field.value });
      } else {
        input = element("input", { id, type: "text", value: field.value, spellcheck: "false",
                                   inputmode: field.kind === "number" ? "decimal" : undefined });
      }
      input.addEventListener("input", update);
      input.addEventListener("change", update);
      fields.append(element("label", { className: field.kind === "check" ? "check" : undefined },
                            field.kind === "check" ? input : field.label,
                            field.kind === "check" ? field.label : input));
    }
    container.append(element("article", { className: "document", id: `document-${sample.id}`,
                                           "aria-labelledby": `document-${sample.id}-title` },
      element("div", { className: "document-head" },
        element("h3", { id: `document-${sample.id}-title`, text: sample.title }),
        element("span", { className: "save-status", id: `document-${sample.id}-status` })),
      element("details", {},
        element("summary", { text: `Adjust the sample ${sample.title.toLowerCase()}` }),
        fields,
        element("details", { className: "scene" },
          element("summary", { text: "As a scene file for vantelo save" }),
          element("pre", { id: `document-${sample.id}-scene`, className: "scene-text" }))),
      element("p", { className: "sample-problem", id: `document-${sample.id}-problem`, role: "alert" }),
      element("div", { className: "table-wrap", id: `document-${sample.id}-writes` }),
      element("p", { className: "message-boxes", id: `document-${sample.id}-boxes` }),
      element("p", { className: "warnings", id: `document-${sample.id}-warnings` })));
  }
}

// ---- The settings form -----------------------------------------------------

// The control a setting gets: a switch or a number field only where it
// shows the value exactly as the file spells it (and would write it back so);
// anything else is shown as the text it is.
function controlKind(setting, spelled) {
  const text = spelled === undefined ? setting.default : spelled;
  if (setting.type === "Boolean") return text === "True" || text === "False" ? "switch" : "text";
  if (setting.type === "Integer") {
    const whole = /^-?(0|[1-9][0-9]*)$/.test(text) && Number(text) >= -32768 && Number(text) <= 32767;
    return whole ? "number" : "text";
  }
  return "text";
}

function buildForm() {
  const form = $("settings-form");
  form.replaceChildren();
  const spelled = state.check ? state.check.spelled : {};
  let fieldset = null;
  for (const setting of state.catalogue) {
    if (!fieldset || fieldset.dataset.section !== setting.section) {
      fieldset = element("fieldset", { "data-section": setting.section },
                         element("legend", { text: `[${setting.section}]` }));
      form.append(fieldset);
    }
    const key = setting.key;
    const id = `setting-${key}`;
    const value = spelled[key];
    const kind = controlKind(setting, value);
    const described = `description-${key} status-${key} findings-${key}`;
    let input;
    if (kind === "switch") {
      input = element("input", { id, type: "checkbox", role: "switch", "aria-describedby": described,
                                 checked: (value === undefined ? setting.default : value) === "True" });
      input.addEventListener("change", () => {
        setEdit(setting, input.checked ? "True" : "False");
        input.nextElementSibling.textContent = input.checked ? "True" : "False";
      });
    } else if (kind === "number") {
      input = element("input", { id, type: "number", step: "1", min: "-32768", max: "32767",
                                 value: value === undefined ? setting.default : value,
                                 "aria-describedby": described });
      input.addEventListener("input", () => {
        if (input.validity.badInput) return; // not a number yet: nothing to write
        setEdit(setting, input.value);
      });
    } else {
      input = element("input", { id, type: "text", value: value === undefined ? "" : value,
                                 placeholder: value === undefined && setting.default !== "" ? setting.default : undefined,
                                 spellcheck: "false", "aria-describedby": described });
      input.addEventListener("input", () => setEdit(setting, input.value));
    }
    const head = element("div", { className: "setting-head" }, element("label", { for: id, text: key }), input);
    if (kind === "switch")
      head.append(element("span", { className: "switch-state", "aria-hidden": "true", text: input.checked ? "True" : "False" }));
    const rawNote = kind === "text" && setting.type !== "String"
      ? ` Shown as written: a ${setting.type === "Boolean" ? "switch" : "number field"} would write it differently.`
      : "";
    const defaultText = setting.default === "" ? "empty" : `"${setting.default}"`;
    fieldset.append(element("div", { className: "setting", id: `row-${key}`, "data-key": key },
      head,
      element("p", { className: "description", id: `description-${key}`,
                     text: `${SETTING_DESCRIPTIONS[key] || ""} ${setting.type}, default ${defaultText}.${rawNote}` }),
      element("p", { className: "status", id: `status-${key}` }),
      element("ul", { className: "findings", id: `findings-${key}` })));
  }
}

function findingItem(finding, withLine) {
  return element("li", { className: finding.severity },
                 element("span", { className: "severity", text: `${finding.severity}: ` }),
                 `${withLine && finding.line ? `line ${finding.line}: ` : ""}${finding.message}`);
}

function showCheck() {
  const check = state.check;
  const byLine = new Map();
  for (const setting of check.settings) if (setting.line) byLine.set(setting.line, setting.key);
  const perKey = new Map();
  const general = [];
  for (const finding of check.findings) {
    const key = finding.line ? byLine.get(finding.line) : undefined;
    if (key) (perKey.get(key) || perKey.set(key, []).get(key)).push(finding);
    else general.push(finding);
  }
  const edited = new Set(state.edits.filter((e) => !e.addMissingKeys).map((e) => e.key));
  for (const setting of check.settings) {
    const key = setting.key;
    const status = setting.source === "file"
      ? `In the file, line ${setting.line}. A save reads "${setting.value}".`
      : setting.value === ""
        ? "Not in the file: a save uses the empty default and writes nothing."
        : `Not in the file: a save uses the default "${setting.value}" and writes it into the file.`;
    $(`status-${key}`).textContent = status;
    $(`findings-${key}`).replaceChildren(...(perKey.get(key) || []).map((f) => findingItem(f, false)));
    $(`row-${key}`).classList.toggle("changed", edited.has(key));
  }
  const box = $("general-findings");
  box.replaceChildren();
  if (general.length)
    box.append(element("h3", { text: "Findings" }),
               element("ul", { className: "findings" }, ...general.map((f) => findingItem(f, true))));
  const fails = $("every-save-fails");
  fails.hidden = !check.everySaveFails;
  fails.textContent = check.everySaveFails || "";
}

// ---- Edits -----------------------------------------------------------------

// A change of one key. Typing changes the key's last edit rather than adding
// one per keystroke (the file comes out the same); after "Add missing keys"
// a change is a new edit, since that step may have written the key. Back at
// the text the opened file has, the edit goes, so the line stays as it was.
function setEdit(setting, value) {
  const { section, key } = setting;
  let index = -1;
  for (let i = state.edits.length - 1; i >= 0; --i) {
    if (state.edits[i].addMissingKeys) break;
    if (state.edits[i].key === key) { index = i; break; }
  }
  const untouched = !state.edits.some((e) => e.addMissingKeys) &&
    (state.spelledAtOpen[key] === undefined ? value === "" && setting.type === "String"
                                            : state.spelledAtOpen[key] === value);
  if (untouched) {
    if (index >= 0) state.edits.splice(index, 1);
  } else if (index >= 0) {
    state.edits[index].value = value;
  } else {
    state.edits.push({ section, key, value });
  }
  update();
}

function regionalRequest() {
  return { decimalSeparator: $("decimal-separator").value, timeSeparator: $("time-separator").value };
}

// The add-in's edit of the file; false when the separators are not usable.
function applyEdits() {
  const answer = JSON.parse(Module.editSettings(state.original || new Uint8Array(0), state.original !== null,
                                                JSON.stringify({ ...regionalRequest(), edits: state.edits })));
  $("machine-problem").textContent = answer.error || "";
  if (answer.error) return false;
  state.check = answer.check;
  state.unicode = answer.unicode;
  state.bytes = Module.settingsBytes();
  state.editResults = answer.edits;
  return true;
}

function showEditProblems() {
  state.edits.forEach((edit, i) => {
    const result = state.editResults[i];
    if (edit.addMissingKeys || !result || result.written) return;
    const list = $(`findings-${edit.key}`);
    if (list) list.append(element("li", { className: "error" }, element("span", { className: "severity", text: "not written: " }), result.problem));
  });
}

function decodedText() {
  if (!state.bytes) return "";
  if (state.unicode) return new TextDecoder("utf-16le").decode(state.bytes.subarray(2));
  return new TextDecoder("windows-1252").decode(state.bytes);
}

function showFileText() {
  const lines = decodedText().split(/\r\n|\n|\r/);
  if (lines.length && lines[lines.length - 1] === "") lines.pop();
  const editedLines = new Set();
  for (const edit of state.edits) {
    const setting = state.check.settings.find((s) => s.key === edit.key);
    if (setting && setting.line) editedLines.add(setting.line);
  }
  $("file-text").replaceChildren(...lines.map((line, i) =>
    element("span", { className: editedLines.has(i + 1) ? "line edited" : "line", text: line || " " })));
  const changes = state.edits.length;
  $("file-status").textContent = `${state.fileName}: ${state.bytes ? (state.unicode ? "Unicode (UTF-16 LE)" : "ANSI") : "no file yet"}` +
    `, ${changes === 0 ? "no changes" : changes === 1 ? "1 change" : `${changes} changes`}`;
}

// ---- The preview -----------------------------------------------------------

function pad(n, width = 2) { return String(n).padStart(width, "0"); }

function saveTime() {
  const given = $("save-time").value;
  if (given) return given.length === 16 ? `${given}:00` : given;
  const d = new Date();
  return `${pad(d.getFullYear(), 4)}-${pad(d.getMonth() + 1)}-${pad(d.getDate())}T${pad(d.getHours())}:${pad(d.getMinutes())}:${pad(d.getSeconds())}`;
}

function showPreview() {
  const scenes = [];
  const made = [];
  for (const sample of SAMPLES) {
    let scene = null;
    try {
      scene = sample.scene(sampleValues(sample));
      $(`document-${sample.id}-problem`).textContent = "";
    } catch (error) {
      $(`document-${sample.id}-problem`).textContent = error.message;
    }
    const text = scene ? JSON.stringify(scene, null, 2) : "";
    setText($(`document-${sample.id}-scene`), text);
    made.push(scene !== null);
    if (scene) scenes.push({ name: `${sample.title} sample`, text });
  }
  const saves = performance.now();
  const answer = JSON.parse(Module.preview(JSON.stringify({ ...regionalRequest(), now: saveTime(), scenes })));
  state.saveTimings.push(performance.now() - saves);
  if (answer.error) { $("machine-problem").textContent = answer.error; return; }
  let next = 0;
  SAMPLES.forEach((sample, i) => {
    const preview = made[i] ? answer[next++] : null;
    const status = $(`document-${sample.id}-status`);
    const writes = $(`document-${sample.id}-writes`);
    const boxes = $(`document-${sample.id}-boxes`);
    const warnings = $(`document-${sample.id}-warnings`);
    if (!preview || preview.error) {
      if (preview) $(`document-${sample.id}-problem`).textContent = preview.error;
      status.textContent = "";
      state.shownPreviews.delete(sample.id);
      writes.replaceChildren();
      boxes.textContent = warnings.textContent = "";
      return;
    }
    // The same answer as last time changes nothing on the page: most edits
    // change one document's writes at most, and rebuilding the others'
    // tables would only cost layout.
    const shown = JSON.stringify(preview);
    if (state.shownPreviews.get(sample.id) === shown) return;
    state.shownPreviews.set(sample.id, shown);
    const report = preview.report;
    const failed = report.status !== "ok";
    status.className = failed ? "save-status failed" : "save-status";
    status.textContent = failed ? `The save fails: ${report.error.code} ${report.error.message}` : "The save succeeds";
    if (preview.changes.length === 0) {
      writes.replaceChildren(element("p", { text: "The save writes no property." }));
    } else {
      const rows = preview.changes.map((c) => element("tr", { className: c.change },
        element("td", { text: c.set, title: c.fmtid }),
        element("td", { text: c.name }),
        element("td", { className: "value", text: c.change === "removed" ? "" : c.text }),
        element("td", { className: "change", text: c.change === "new" ? "new" : `${c.change}, was ${c.was}` })));
      writes.replaceChildren(element("table", { "aria-label": `What a save of the ${sample.title.toLowerCase()} writes` },
        element("thead", {}, element("tr", {}, ...["Set", "Name", "Value", "Change"].map((t) => element("th", { scope: "col", text: t })))),
        element("tbody", {}, ...rows)));
    }
    boxes.textContent = report.messageBoxes.length === 0 ? "No message box."
      : report.messageBoxes.map((b) => `Message box: "${b.text}"`).join(" ");
    warnings.textContent = report.warnings.join(" ");
  });
}

// ---- Each change -----------------------------------------------------------

function update() {
  const start = performance.now();
  if (applyEdits()) {
    showCheck();
    showEditProblems();
    showFileText();
    showPreview();
  }
  const spent = performance.now() - start;
  state.timings.push(spent);
  if (!window.vanteloFirstPreview) {
    window.vanteloFirstPreview = performance.now();
    performance.mark("vantelo-first-preview");
  }
  document.dispatchEvent(new CustomEvent("vantelo-updated", { detail: spent }));
}

// The form shows a file anew: after an open, a reset or "Add missing keys".
function rebuild() {
  if (!applyEdits()) return;
  buildForm();
  update();
}

function openBytes(bytes, name, handle) {
  state.original = bytes;
  state.fileName = name || "Vantelo.ini";
  state.handle = handle && handle.createWritable ? handle : null;
  state.edits = [];
  applyEdits();
  state.spelledAtOpen = state.check ? { ...state.check.spelled } : {};
  $("download-button").textContent = `Download ${state.fileName}`;
  $("write-back-button").textContent = `Write back to ${state.fileName}`;
  $("write-back-button").hidden = !state.handle;
  rebuild();
}

async function openFile(file, handle) {
  openBytes(new Uint8Array(await file.arrayBuffer()), file.name, handle);
}

function startFromDefaults() {
  // A new file, as `vantelo settings init` creates it.
  state.original = null;
  state.fileName = "Vantelo.ini";
  state.handle = null;
  state.edits = [{ addMissingKeys: true }];
  state.spelledAtOpen = {};
  $("download-button").textContent = "Download Vantelo.ini";
  $("write-back-button").hidden = true;
  rebuild();
}

function download() {
  const blob = new Blob([state.bytes || new Uint8Array(0)], { type: "application/octet-stream" });
  const url = URL.createObjectURL(blob);
  const link = element("a", { href: url, download: state.fileName });
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
}

async function writeBack() {
  try {
    const writable = await state.handle.createWritable();
    await writable.write(state.bytes || new Uint8Array(0));
    await writable.close();
    $("file-status").textContent += `; written back to ${state.fileName}`;
  } catch (error) {
    $("file-status").textContent += `; could not write back to ${state.fileName}: ${error.message}`;
  }
}

function wire() {
  $("open-button").addEventListener("click", async () => {
    if (window.showOpenFilePicker) {
      try {
        const [handle] = await window.showOpenFilePicker({
          types: [{ description: "Settings files", accept: { "text/plain": [".ini"] } }] });
        await openFile(await handle.getFile(), handle);
      } catch (error) {
        if (error.name !== "AbortError") $("file-status").textContent = error.message;
      }
    } else {
      $("open-input").click();
    }
  });
  $("open-input").addEventListener("change", async (event) => {
    const [file] = event.target.files;
    if (file) await openFile(file, null);
    event.target.value = "";
  });
  $("defaults-button").addEventListener("click", startFromDefaults);
  $("add-missing-button").addEventListener("click", () => {
    state.edits.push({ addMissingKeys: true });
    rebuild();
  });
  $("download-button").addEventListener("click", download);
  $("write-back-button").addEventListener("click", writeBack);
  for (const id of ["decimal-separator", "time-separator"]) $(id).addEventListener("input", update);
  $("save-time").addEventListener("input", update);
  document.addEventListener("dragover", (event) => event.preventDefault());
  document.addEventListener("drop", async (event) => {
    event.preventDefault();
    const item = [...event.dataTransfer.items].find((i) => i.kind === "file");
    if (!item) return;
    const handle = item.getAsFileSystemHandle ? await item.getAsFileSystemHandle() : null;
    await openFile(item.getAsFile(), handle && handle.kind === "file" ? handle : null);
  });
}

function start() {
  const catalogue = JSON.parse(Module.catalogue());
  state.catalogue = catalogue.settings.map((s) => ({ section: s.section, key: s.key, type: s.type, default: s.value }));
  const codePage = $("code-page");
  for (const name of catalogue.codePages) codePage.append(element("option", { value: name, text: name }));
  codePage.disabled = catalogue.codePages.length < 2;
  buildSamples();
  wire();
  $("loading").remove();
  for (const id of ["file-panel", "preview-panel", "text-panel"]) $(id).hidden = false;
  $("main").setAttribute("aria-busy", "false");
  startFromDefaults();
}

var Module = { onRuntimeInitialized: start };
