// The page's wiring: the text box, the examples and the file to open, the
// address that holds the text, the worker that runs the programs on it, what
// the worker answers, the clicks that edit the text, and the step view's
// controls. The text's edits (text.js), the words for what the engine works
// out (words.js) and the step view (steps.js) come before this script in
// the page's module.

const DELAY_MS = 100;  // after the last keystroke, before the programs run
const ADDRESS_LIMIT = 100000;  // a longer text is not kept in the address
// A longer text is kept aside, not shown: the text box takes seconds to lay
// out a text of a million lines.
const TEXT_BOX_LIMIT = 200000;
const FIRST_EXAMPLE = "claim-closes-cycle";
const STEP_MS = 1500;  // between steps while the search plays

const $ = (id) => document.getElementById(id);
const examples = new Map([...document.querySelectorAll("[data-example]")]
  .map((script) => [script.dataset.example, script.textContent]));
const input = $("input");
const worker = new Worker(URL.createObjectURL(
  new Blob([$("worker-source").textContent], { type: "text/javascript" })));
worker.postMessage({ source: $("worker-source").textContent });  // for the worker's teacher
const wholeTexts = {};  // what the download buttons write, by name: texts or bytes
const decoder = new TextDecoder();
let text = "";  // the input as text: the text box's, or one kept aside
let bytes = new Uint8Array();  // the input the programs read: `text` in UTF-8, or a file's bytes
let asked = 0;  // the number of the latest text given to the worker
let read = null;  // what the engine read of the input, from its answer; null until it answers
let timer;
let picked = null;  // the node clicked first, for a claim edge or a new edge
let verdict = null;  // what lockprobe said of the input, from the worker's answer
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
  timer = setTimeout(() => worker.postMessage({ id, bytes, view: $("view").value }), delay);
  $("example").value = [...examples].find(([, example]) => example === text)?.[0] ?? "";
  const address = text.length <= ADDRESS_LIMIT ? "#input=" + encodeURIComponent(text) : location.pathname;
  history.replaceState(null, "", address);
}

// The add buttons and the search, as far as what was read allows them;
// `drawn` tells whether there is a drawing to search on. The add buttons
// stay focusable while disabled, so that the keyboard's focus stays on a
// button pressed while the page works.
function allowEdits(drawn) {
  const counts = countsOf(read);
  $("add-process").ariaDisabled = counts === null || counts.processes >= MAX_PER_KIND;
  $("add-resource").ariaDisabled = counts === null || counts.resources >= MAX_PER_KIND;
  $("search-start").disabled = !drawn || !edgesRead(read) || nodeIds(read).size === 0 || waitForView();
}

const waitForView = () => $("view").value === "wait-for";
const enabled = (button) => button.ariaDisabled !== "true";

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
    if (!waitForView() && (element.matches("g.node") || arrows)) {
      element.tabIndex = 0;
      element.setAttribute("role", "button");
    } else {
      element.removeAttribute("tabindex");
      element.removeAttribute("role");
    }
  }
}

// Names each node by its kind, for assistive technology, and gives each
// arrow a wider band that takes a click, an invisible copy of its line
// whose width the style sets.
function prepareDrawing(drawing) {
  const nodes = nodeIds(read);
  for (const node of drawing.querySelectorAll("g.node")) {
    const id = titleOf(node);
    node.setAttribute("aria-label", nodes.has(id) ? nodeName(id) : `${id}, which names no node`);
  }
  for (const line of drawing.querySelectorAll("g.edge > path")) {
    const band = line.cloneNode(false);
    for (const name of ["stroke-dasharray", "stroke"]) band.removeAttribute(name);
    band.setAttribute("class", "reach");
    line.before(band);
  }
}

function showDrawing(svg) {
  $("drawing").innerHTML = svg;
  $("drawing-key").hidden = svg === "";
  for (const item of $("drawing-key").querySelectorAll("[data-view]")) {
    item.hidden = item.dataset.view !== $("view").value;
  }
  if (svg !== "") prepareDrawing($("drawing"));
  unpick();
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

// The verdict: holddraw's title, which names the cycles, then the whole
// deadlock in words; its sets of processes as attributes.
function showVerdict(said, taught) {
  const cycles = document.createElement("span");
  cycles.className = "cycles";
  const lines = said ? said.title.map((line) => `${line}.`) : [];
  cycles.append(...lines.flatMap((line, k) => [k > 0 ? " " : "", ...withWholeArrows(line)]));
  const whole = said ? wholeDeadlock(said, taught) : [];
  $("verdict").replaceChildren(...(said ? [cycles, ...whole.map((sentence) => ` ${sentence}`)] : []));
  const sets = {
    deadlockedProcesses: taught?.typed?.deadlocked, waitingProcesses: taught?.typed?.waiting,
    claimDeadlockedProcesses: taught?.claim?.deadlocked ?? [], claimWaitingProcesses: taught?.claim?.waiting ?? [],
    singleAborts: taught?.aborts,
  };
  for (const [name, ids] of Object.entries(sets)) {
    if (ids === undefined || !said) delete $("verdict").dataset[name];
    else $("verdict").dataset[name] = ids.join(" ");
  }
  $("verdict").dataset.deadlocked = said?.deadlocked ?? "";
  $("verdict").dataset.claim = said?.claim ?? "";
}

// Where the notes' numbers lie in the text box's text: the bytes before
// them, decoded, are as many characters as come before them there.
const characterAt = (offset) => decoder.decode(bytes.subarray(0, offset)).length;

// The drawing's arrow for a note's edge: the dashed one for the claim edge.
function noteArrow(note, claim) {
  return [...$("drawing").querySelectorAll("g.edge")].find((arrow) => titleOf(arrow) === `${note.u}->${note.v}` &&
    (arrow.querySelector("path[stroke-dasharray]") !== null) === claim);
}

// The notes on what is odd in the graph, each of which selects its numbers
// in the text box when clicked and marks its arrow while pointed at.
function showNotes(taught) {
  const notes = taught?.notes ?? [];
  const edges = notes.length > 0 ? countsOf(read).edges : 0;
  $("notes").replaceChildren(...notes.map((note) => {
    const item = document.createElement("li");
    const claim = note.item > edges;
    item.dataset.note = note.kind;
    item.dataset.edge = note.kind === "negative-count" ? "counts" : claim ? "claim" : note.item;
    item.textContent = noteWords(note, edges);
    item.tabIndex = 0;
    const mark = (on) => noteArrow(note, claim)?.classList.toggle("noted", on);
    item.addEventListener("click", () => {
      if (input.value !== text) return;  // a text too long to show
      input.focus();
      input.setSelectionRange(characterAt(note.start), characterAt(note.end));
    });
    for (const [event, on] of [["mouseenter", true], ["focus", true], ["mouseleave", false], ["blur", false]]) {
      item.addEventListener(event, () => mark(on));
    }
    return item;
  }));
  const rest = (taught?.total ?? 0) - notes.length;
  $("notes-rest").textContent = rest > 0 ? `… and ${rest} more note${rest === 1 ? "" : "s"}.` : "";
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
  verdict = data.verdict;
  showVerdict(data.verdict, data.taught);
  showNotes(data.taught);
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

// What the next click does, once the first node of a pair is picked.
const HINTS = {
  edge: (id) => `Now click the node that ${nodeName(id)}'s new edge goes to.`,
  claim: (id) => `Now click the node that the claim edge from ${nodeName(id)} goes to.`,
};

function unpick() {
  picked?.classList.remove("picked");
  picked = null;
  $("click-hint").textContent = waitForView()
    ? "Clicks do not edit the wait-for graph, nor is the search shown on it: switch the view back to do so." : "";
}

function pick(node) {
  const mode = $("click-mode").value;
  if (mode === "recover") {
    // Only a node can be aborted or taken back, not an id that names none.
    if (nodeIds(read).has(titleOf(node))) setBytes(recovered(bytes, read, titleOf(node)));
    return;
  }
  if (picked === null) {
    picked = node;
    node.classList.add("picked");
    $("click-hint").textContent = `${HINTS[mode](titleOf(node))} Escape, or a click beside the nodes, cancels.`;
    return;
  }
  const ids = [picked, node].map(titleOf);
  setBytes(mode === "edge" ? withEdge(bytes, read, ...ids) : withClaim(bytes, read, ...ids));
}

// In the edge mode, a click on an arrow removes the edge it stands for: the
// claim edge for the dashed arrow, else the last-typed edge it draws.
function removeArrow(arrow) {
  const [u, v] = titleOf(arrow).split("->");
  const claim = arrow.querySelector("path[stroke-dasharray]") !== null;
  setBytes(claim ? withClaim(bytes, read) : withoutEdge(bytes, read, u, v));
}

// A click edits the text only where the engine has read it whole, and
// never in the wait-for view; a click beside the nodes and arrows cancels
// a pick.
function click(target) {
  if (!edgesRead(read) || waitForView()) return;
  const node = target.closest("g.node");
  const arrow = target.closest("g.edge");
  if (node) pick(node);
  else if (arrow && $("click-mode").value === "edge") removeArrow(arrow);
  else unpick();
}

$("drawing").addEventListener("click", (event) => click(event.target));
$("drawing").addEventListener("keydown", (event) => {
  if (event.key === "Enter" || event.key === " ") {
    event.preventDefault();
    click(event.target);
  }
});
$("click-mode").addEventListener("change", () => {
  unpick();
  makeClickable();
});
$("view").addEventListener("change", () => textChanged(0));
for (const [id, kind] of [["add-process", 0], ["add-resource", 1]]) {
  $(id).addEventListener("click", () => enabled($(id)) && setBytes(withNode(bytes, read, kind)));
}

// The step view.
function showStep() {
  const nodes = nodeIds(read);
  const last = stepIndex === steps.length - 1;
  paintStep($("drawing"), steps, stepIndex, nodes);
  // A cycle that only the claim edge closes is a risk, not a deadlock.
  $("drawing").dataset.risk = steps[stepIndex].search === 2 && verdict.deadlocked === "no";
  $("step-text").textContent = stepText(steps, stepIndex, nodes, claimOf(read));
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
  delete $("drawing").dataset.risk;
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
  if (event.key === "Escape") unpick();
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
