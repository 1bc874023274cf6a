// The page's wiring: the text box, the examples and the file to open, the
// address that holds the text, the worker that runs the programs on it, what
// the worker answers, the clicks that edit the text, and the step view's
// controls. The text's edits (text.js) and the step view (steps.js) come
// before this script in the page's module.

const DELAY_MS = 100;  // after the last keystroke, before the programs run
const ADDRESS_LIMIT = 100000;  // a longer text is not kept in the address
// A longer text is kept aside, not shown: the text box takes seconds to lay
// out a text of a million lines.
const TEXT_BOX_LIMIT = 200000;
const FIRST_EXAMPLE = "claim-closes-cycle";
const STEP_MS = 1500;  // between steps while the search plays

const $ = (id) => document.getElementById(id);
const input = $("input");
const worker = new Worker(URL.createObjectURL(
  new Blob([$("worker-source").textContent], { type: "text/javascript" })));
const wholeTexts = {};  // what the download buttons write, by name: texts or bytes
const decoder = new TextDecoder();
let text = "";  // the input as text: the text box's, or one kept aside
let bytes = new Uint8Array();  // the input the programs read: `text` in UTF-8, or a file's bytes
let asked = 0;  // the number of the latest text given to the worker
let read = null;  // what the engine read of the input, from its answer; null until it answers
let timer;
let picked = null;  // the node clicked first, for a claim edge or a new edge
let steps = null;  // the steps of the search shown, while the step view is on
let stepIndex = 0;
let player;  // the interval that plays the steps

// Has the programs run on the input after `delay` ms, unless it changes again before.
function textChanged(delay) {
  document.body.dataset.state = "working";
  read = null;
  stopSteps();
  allowEdits(false);
  const id = ++asked;
  clearTimeout(timer);
  timer = setTimeout(() => worker.postMessage({ id, bytes }), delay);
  const address = text.length <= ADDRESS_LIMIT ? "#input=" + encodeURIComponent(text) : location.pathname;
  history.replaceState(null, "", address);
}

// The add buttons and the search, as far as what was read allows them;
// `drawn` tells whether there is a drawing to search on.
function allowEdits(drawn) {
  const counts = countsOf(read);
  $("add-process").disabled = counts === null || counts.processes >= MAX_PER_KIND;
  $("add-resource").disabled = counts === null || counts.resources >= MAX_PER_KIND;
  $("search-start").disabled = !drawn || !edgesRead(read) || nodeIds(read).size === 0;
}

// Sets the input to `newText`, or to `newBytes` shown as `newText`.
function setText(newText, newBytes = encoder.encode(newText)) {
  text = newText;
  bytes = newBytes;
  const shown = text.length <= TEXT_BOX_LIMIT;
  input.value = shown ? text : "";
  input.placeholder = shown ? "" : `An input of ${bytes.length} bytes, too long to show here. Typing replaces it.`;
  textChanged(0);
}

// Sets the input to what an edit made of it; an edit that finds nothing to
// change gives null.
function setBytes(newBytes) {
  if (newBytes !== null) setText(decoder.decode(newBytes), newBytes);
}

// Shows an output the worker sent: its text, cut when long, and the whole
// of it to download.
function show(name, { shown, cut, whole }) {
  wholeTexts[name] = whole;
  $(`${name}-output`).textContent = shown;
  const button = $(`${name}-whole`);  // a download of the whole output, where the drawing has none
  if (button) button.hidden = !cut;
}

// Lets the keyboard and assistive technology reach what a click on the
// drawing can do: its nodes, and in the edge mode its arrows too. Each is
// named by its title, which Graphviz writes: "0", "0->100".
function makeClickable() {
  const arrows = $("click-mode").value === "edge";
  for (const element of $("drawing").querySelectorAll("g.node, g.edge")) {
    if (element.matches("g.node") || arrows) {
      element.tabIndex = 0;
      element.setAttribute("role", "button");
    } else {
      element.removeAttribute("tabindex");
      element.removeAttribute("role");
    }
  }
}

function showDrawing(svg) {
  $("drawing").innerHTML = svg;
  picked = null;
  makeClickable();
}

// `line` with each id and the arrow after it, "101 ->", kept on one line.
function withWholeArrows(line) {
  return line.split(/(\S+ ->)/).map((piece, k) => {
    if (k % 2 === 0) return piece;
    const whole = document.createElement("span");
    whole.className = "arrow";
    whole.textContent = piece;
    return whole;
  });
}

function showVerdict(verdict) {
  const lines = verdict ? verdict.title.map((line) => `${line}.`) : [];
  $("verdict").replaceChildren(...lines.flatMap((line, k) => [k > 0 ? " " : "", ...withWholeArrows(line)]));
  $("verdict").dataset.deadlocked = verdict?.deadlocked ?? "";
  $("verdict").dataset.claim = verdict?.claim ?? "";
}

// The worker itself failed: the page says so, rather than stay at work.
function failed(reason) {
  $("message").textContent = `The page failed: ${reason}`;
  document.body.dataset.state = "failed";
}

worker.onmessage = ({ data }) => {
  if (data.id !== asked) return;  // the text changed since
  if (data.failure !== undefined) return failed(data.failure);
  if ("steps" in data) {
    if (data.steps !== null) startSteps(data.steps);
    return;
  }
  read = data.read;
  showVerdict(data.verdict);
  $("message").textContent = data.message;
  show("lockprobe", data.lockprobe);
  show("holdview", data.holdview);
  show("dot", data.dot);
  wholeTexts.svg = data.svg;
  showDrawing(data.svg);
  $("drawing-note").textContent = data.note;
  allowEdits(data.svg !== "");
  document.body.dataset.state = "done";
};

function pick(node) {
  if (picked === null) {
    picked = node;
    node.classList.add("picked");
    return;
  }
  const ids = [picked, node].map(titleOf);
  setBytes($("click-mode").value === "edge" ? withEdge(bytes, read, ...ids) : withClaim(bytes, read, ...ids));
}

// In the edge mode, a click on an arrow removes the edge it stands for: the
// claim edge for the dashed arrow, else the last-typed edge it draws.
function removeArrow(arrow) {
  const [u, v] = titleOf(arrow).split("->");
  const claim = arrow.querySelector("path[stroke-dasharray]") !== null;
  setBytes(claim ? withClaim(bytes, read) : withoutEdge(bytes, read, u, v));
}

// A click edits the text only where the engine has read it whole.
function click(target) {
  if (!edgesRead(read)) return;
  const node = target.closest("g.node");
  const arrow = target.closest("g.edge");
  if (node) pick(node);
  else if (arrow && $("click-mode").value === "edge") removeArrow(arrow);
}

$("drawing").addEventListener("click", (event) => click(event.target));
$("drawing").addEventListener("keydown", (event) => {
  if (event.key === "Enter" || event.key === " ") {
    event.preventDefault();
    click(event.target);
  }
});
$("click-mode").addEventListener("change", makeClickable);
$("add-process").addEventListener("click", () => setBytes(withNode(bytes, read, 0)));
$("add-resource").addEventListener("click", () => setBytes(withNode(bytes, read, 1)));

// The step view.
function showStep() {
  const nodes = nodeIds(read);
  const last = stepIndex === steps.length - 1;
  paintStep($("drawing"), steps, stepIndex, nodes);
  $("step-text").textContent = stepText(steps, stepIndex, nodes);
  $("step-back").disabled = stepIndex === 0;
  $("step-next").disabled = $("step-play").disabled = last;
  if (last) pause();
  keepInView($("step-controls"), $("drawing"));
}

function startSteps(searchSteps) {
  steps = searchSteps;
  stepIndex = 0;
  $("drawing").classList.add("stepping");
  $("step-legend").hidden = false;
  $("search-stop").disabled = false;
  showStep();
}

function stopSteps() {
  pause();
  steps = null;
  $("drawing").classList.remove("stepping");
  $("step-legend").hidden = true;
  unpaint($("drawing"));
  unfit($("drawing"));
  $("step-text").textContent = "";
  for (const id of ["step-back", "step-next", "step-play", "search-stop"]) $(id).disabled = true;
}

function step(by) {
  if (steps === null) return;
  stepIndex = Math.min(Math.max(stepIndex + by, 0), steps.length - 1);
  showStep();
}

function pause() {
  clearInterval(player);
  player = undefined;
  $("step-play").setAttribute("aria-pressed", "false");
  $("step-play").textContent = "Play";
}

$("search-start").addEventListener("click", () => worker.postMessage({ id: asked, bytes, steps: true }));
$("step-next").addEventListener("click", () => step(1));
$("step-back").addEventListener("click", () => step(-1));
$("search-stop").addEventListener("click", stopSteps);
$("step-play").addEventListener("click", () => {
  if (player !== undefined) return pause();
  player = setInterval(() => step(1), STEP_MS);
  $("step-play").setAttribute("aria-pressed", "true");
  $("step-play").textContent = "Pause";
});
window.addEventListener("resize", () => steps !== null && showStep());
document.addEventListener("keydown", (event) => {
  if (event.target.matches("textarea, input, select")) return;
  if (event.key === "ArrowRight") step(1);
  if (event.key === "ArrowLeft") step(-1);
});

const DOWNLOADS = {
  svg: ["graph.svg", "image/svg+xml"],
  dot: ["graph.dot", "text/vnd.graphviz"],
  lockprobe: ["lockprobe.txt", "text/plain"],
  holdview: ["holdview.txt", "text/plain"],
};

function download(name) {
  const [file, type] = DOWNLOADS[name];
  const link = document.createElement("a");
  link.href = URL.createObjectURL(new Blob([wholeTexts[name]], { type }));
  link.download = file;
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 1000);
}

for (const button of document.querySelectorAll("[data-download]")) {
  button.addEventListener("click", () => download(button.dataset.download));
}

const examples = new Map([...document.querySelectorAll("[data-example]")]
  .map((script) => [script.dataset.example, script.textContent]));
for (const name of examples.keys()) $("example").add(new Option(name, name));
$("example").addEventListener("change", (event) => {
  if (examples.has(event.target.value)) setText(examples.get(event.target.value));
});
$("file").addEventListener("change", async (event) => {
  if (event.target.files.length === 0) return;
  const fileBytes = new Uint8Array(await event.target.files[0].arrayBuffer());
  setText(new TextDecoder().decode(fileBytes), fileBytes);
});
input.addEventListener("input", () => {
  text = input.value;
  bytes = encoder.encode(text);
  textChanged(DELAY_MS);
});

function openAddress() {
  const given = location.hash.startsWith("#input=");
  setText(given ? decodeURIComponent(location.hash.slice("#input=".length)) : examples.get(FIRST_EXAMPLE));
}
window.addEventListener("hashchange", openAddress);
openAddress();
