// The page's wiring: the text box, the examples and the file to open, the
// address that holds the text, the worker that runs the programs on it, and
// what the worker answers.

const DELAY_MS = 100;  // after the last keystroke, before the programs run
const ADDRESS_LIMIT = 100000;  // a longer text is not kept in the address
// A longer text is kept aside, not shown: the text box takes seconds to lay
// out a text of a million lines.
const TEXT_BOX_LIMIT = 200000;
const FIRST_EXAMPLE = "claim-closes-cycle";

const $ = (id) => document.getElementById(id);
const input = $("input");
const worker = new Worker(URL.createObjectURL(
  new Blob([$("worker-source").textContent], { type: "text/javascript" })));
const wholeTexts = {};  // what the download buttons write, by name: texts or bytes
const encoder = new TextEncoder();
let text = "";  // the input as text: the text box's, or one kept aside
let bytes = new Uint8Array();  // the input the programs read: `text` in UTF-8, or a file's bytes
let asked = 0;  // the number of the latest text given to the worker
let timer;
let picked = null;  // the node clicked first, for a claim edge

// Has the programs run on the input after `delay` ms, unless it changes again before.
function textChanged(delay) {
  document.body.dataset.state = "working";
  const id = ++asked;
  clearTimeout(timer);
  timer = setTimeout(() => worker.postMessage({ id, bytes }), delay);
  const address = text.length <= ADDRESS_LIMIT ? "#input=" + encodeURIComponent(text) : location.pathname;
  history.replaceState(null, "", address);
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

// Shows an output the worker sent: its text, cut when long, and the whole
// of it to download.
function show(name, { shown, cut, whole }) {
  wholeTexts[name] = whole;
  $(`${name}-output`).textContent = shown;
  const button = $(`${name}-whole`);  // a download of the whole output, where the drawing has none
  if (button) button.hidden = !cut;
}

function showDrawing(svg) {
  $("drawing").innerHTML = svg;
  picked = null;
  for (const node of $("drawing").querySelectorAll("g.node")) {
    node.tabIndex = 0;
    node.setAttribute("role", "button");
    node.setAttribute("aria-label", "node " + node.querySelector("title").textContent);
  }
}

worker.onmessage = ({ data }) => {
  if (data.id !== asked) return;  // the text changed since
  $("message").textContent = data.message;
  show("lockprobe", data.lockprobe);
  show("holdview", data.holdview);
  show("dot", data.dot);
  wholeTexts.svg = data.svg;
  showDrawing(data.svg);
  $("drawing-note").textContent = data.note;
  document.body.dataset.state = "done";
};

// The text with its claim edge, the numbers after the edges, set to u v.
function withClaim(text, u, v) {
  const words = [...text.matchAll(/\S+/g)];
  const last = words[2 + 2 * Math.max(0, Number(words[2][0]))];  // the graph's last number
  return `${text.slice(0, last.index + last[0].length)}\n${u} ${v}\n`;
}

function pick(node) {
  if (picked === null) {
    picked = node;
    node.classList.add("picked");
    return;
  }
  const ids = [picked, node].map((n) => n.querySelector("title").textContent);
  setText(withClaim(text, ...ids));
}

$("drawing").addEventListener("click", (event) => {
  const node = event.target.closest("g.node");
  if (node) pick(node);
});
$("drawing").addEventListener("keydown", (event) => {
  const node = event.target.closest("g.node");
  if (node && (event.key === "Enter" || event.key === " ")) {
    event.preventDefault();
    pick(node);
  }
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
