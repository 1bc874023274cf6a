// The page in headless Chromium, opened from disk with the network off,
// against the programs built for this machine on the same texts.
// Environment: PAGE (lockprobe.html), VERSION (the one it shows), EXAMPLES
// (their folder), LOCKPROBE, HOLDVIEW, HOLDDRAW, and SCREENSHOT, where the
// picture of a step of the search goes, with the pictures of the whole
// deadlock beside it.
import { spawnSync } from "node:child_process";
import { mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { pathToFileURL } from "node:url";
import { after, before, test } from "node:test";
import assert from "node:assert/strict";
import { createRequire } from "node:module";
import { chromium } from "playwright-core";

const PAGE = "file://" + process.env.PAGE;
const EXAMPLES = pathToFileURL(`${process.env.EXAMPLES}/`);
const COUNTS_PROMPT = "Enter the number of processes, resources, and edges: ";
const EDGES_PROMPT = "Enter the edges (resource allocation and request) in the format u v:\n";
const CLAIM_PROMPT = "Enter a claim edge to check if it creates a cycle (format u v): ";
// Chromium keeps a socket in its temporary folder, whose path may hold at
// most 107 bytes: the folder lies in a short place, not in the build folder.
const SOCKET_PATH_LIMIT = 107;
const CHROMIUM_TMPDIR = mkdtempSync("/tmp/lockprobe-page-");
let browser;
let page;
let opened;  // when the page was opened

function program(name, text) {
  const run = spawnSync(process.env[name], { input: text, timeout: 10000, maxBuffer: 1 << 30 });
  return { out: run.stdout.toString(), err: run.stderr.toString(), status: run.status };
}

// What the page shows for `text`, from the programs' own outputs.
function expected(text) {
  const drawn = program("HOLDDRAW", text);
  if (drawn.status !== 0) {
    const message = drawn.err.replace(/^holddraw: /, "").trimEnd();
    return { message, verdict: "||", lockprobe: "", holdview: "", dot: "" };
  }
  const prompts = COUNTS_PROMPT + EDGES_PROMPT;
  const [listing, claim] = program("LOCKPROBE", text).out.slice(prompts.length).split(CLAIM_PROMPT);
  // The verdict: holddraw's title, then lockprobe's verdicts.
  const title = drawn.out.match(/label="(.*)";/)[1].split("\\n").map((line) => `${line}.`).join(" ");
  const closes = claim === "\n" ? "none" : claim.includes("does not") ? "keeps" : "closes";
  return {
    message: "",
    verdict: `${title}|${listing.includes("(Deadlocked).") ? "yes" : "no"}|${closes}`,
    lockprobe: listing + (claim === "\n" ? "" : claim),  // no claim edge: the line the program ended
    holdview: program("HOLDVIEW", text).out.slice(prompts.length),
    dot: drawn.out,
  };
}

const OUTPUTS = { message: "message", lockprobe: "lockprobe-output", holdview: "holdview-output",
                  dot: "dot-output" };

// What the page shows once it has answered; a failure of the page fails at once.
async function shown() {
  await page.waitForSelector('body:is([data-state="done"], [data-state="failed"])');
  assert.equal(await page.getAttribute("body", "data-state"), "done", await page.textContent("#message"));
  return page.evaluate((outputs) => {
    const { dataset: { deadlocked, claim } } = document.getElementById("verdict");
    const cycles = document.querySelector("#verdict .cycles")?.textContent ?? "";
    return { verdict: `${cycles}|${deadlocked}|${claim}`, ...Object.fromEntries(Object.entries(outputs)
      .map(([name, id]) => [name, document.getElementById(id).textContent])) };
  }, OUTPUTS);
}

// What axe-core finds against WCAG 2.1 A and AA and best practice.
async function accessibilityViolations() {
  const axe = readFileSync(createRequire(import.meta.url).resolve("axe-core/axe.min.js"), "utf8");
  await page.addScriptTag({ content: axe });
  const tags = ["wcag2a", "wcag2aa", "wcag21a", "wcag21aa", "best-practice"];
  const { violations } = await page.evaluate((values) => axe.run({ runOnly: { type: "tag", values } }), tags);
  return violations.map(({ id, nodes }) => `${id}: ${nodes.map((node) => node.html).join(" ")}`);
}

// Each node's and each marked arrow's state in the step view, by name, "~" after a dashed arrow's.
const searchStates = () => page.$$eval("#drawing g.node, #drawing g.edge[data-search]", (elements) => elements
  .map((e) => `${e.querySelector("title").textContent}${e.querySelector("[stroke-dasharray]") ? "~" : ""}:${e.dataset.search ?? "-"}`)
  .sort());

// Puts `text` in the text box as typing does; filling it key by key would
// take seconds for a text of thousands of lines.
const type = (text) => page.$eval("#input", (box, value) => {
  box.value = value;
  box.dispatchEvent(new Event("input"));
}, text).then(shown);


const node = (id) => `#drawing g.node:has(title:text-is("${id}"))`;
const arrow = (title, dashed = false) =>
  `#drawing g.edge:has(title:text-is("${title}"))${dashed ? ":has(path[stroke-dasharray])" : ":not(:has(path[stroke-dasharray]))"}`;

async function clickNodes(mode, u, v = null) {
  await page.selectOption("#click-mode", mode);
  await page.click(node(u));
  if (v !== null) await page.click(node(v));
}

async function clickArrow(title, dashed) {
  await page.selectOption("#click-mode", "edge");
  await page.click(arrow(title, dashed));
}

before(async () => {
  const args = ["--no-sandbox", "--disable-gpu", "--disable-background-networking", "--no-first-run"];
  const socket = join(CHROMIUM_TMPDIR, "org.chromium.Chromium.XXXXXX", "SingletonSocket");
  assert.ok(socket.length <= SOCKET_PATH_LIMIT, `Chromium's socket would be too long a path: ${socket}`);
  browser = await chromium.launch({ executablePath: "/usr/bin/chromium", args, env: { ...process.env, TMPDIR: CHROMIUM_TMPDIR } });
  const context = await browser.newContext({ offline: true, acceptDownloads: true });
  // Holds the worker's answers while window.heldAnswers is an array, so that a
  // test decides when each arrives.
  await context.addInitScript(() => {
    window.Worker = class extends Worker {
      set onmessage(handler) {
        super.onmessage = (event) => (window.heldAnswers ? window.heldAnswers.push(() => handler(event)) : handler(event));
      }
    };
  });
  page = await context.newPage();
  page.setDefaultTimeout(20000);
  page.on("pageerror", (error) => assert.fail(error.message));
  page.on("request", (request) => assert.match(request.url(), /^(file|blob|data):/));
  opened = Date.now();
  await page.goto(PAGE);
});

after(async () => {
  await browser?.close();
  rmSync(CHROMIUM_TMPDIR, { recursive: true, force: true });
});

// The titles of the drawing's arrows by the colour of their lines.
const arrowColours = () => page.$$eval("#drawing g.edge", (edges) => {
  const by = {};
  for (const edge of edges) {
    const colour = edge.querySelector("path:not(.reach)").getAttribute("stroke");
    (by[colour] ??= []).push(edge.querySelector("title").textContent);
  }
  return by;
});

test("the worked example shows its listing, verdicts and picture, its claim's cycle in amber, clicks set to edges", async () => {
  const got = await shown();
  console.log(`the worked example shown ${Date.now() - opened} ms after the page was opened`);
  assert.deepEqual(got, expected(readFileSync(new URL("claim-closes-cycle.txt", EXAMPLES), "utf8")));
  assert.deepEqual(await arrowColours(), { "#c06000": ["0->100", "1->101", "100->1", "101->0"] });
  assert.deepEqual([await page.inputValue("#click-mode"), await page.inputValue("#example")],
    ["edge", "claim-closes-cycle"]);
  assert.match(await page.textContent("footer"), new RegExp(`^\\s*lockprobe ${process.env.VERSION}:`));
});

test("examples, refusals and graphs of every kind show what the programs write, and allow the edits read", async () => {
  const examples = readdirSync(EXAMPLES).filter((f) => f.endsWith(".txt"))
    .map((f) => [readFileSync(new URL(f, EXAMPLES), "utf8"), [false, false, false]]);
  // Whether the add buttons and the search are disabled.
  const texts = [["", [true, true, true]], ["1 1 x3", [true, true, true]], ["150 1 0", [true, false, true]],
    ["1 1 1  0 100  100", [false, false, true]], ["1\u00a02 0", [true, true, true]], ["100 99 0", [true, false, false]],
    ["99 100 5", [false, true, true]], ["1 1 3  0 -7  0 100  0 100  5 0", [false, false, false]],
    ["100 100 0  199 0", [true, true, false]],
    // lockprobe and holdview write exactly as many lines as the page shows whole
    [`1 0 1992\n${"0 7\n".repeat(1992)}0 7\n`, [false, false, false]], ["0 0 0", [false, false, true]]];
  for (const [text, disabled] of examples.concat(texts)) {
    assert.deepEqual(await type(text), expected(text), text);
    assert.deepEqual(await Promise.all(["#add-process", "#add-resource", "#search-start"]
      .map((id) => page.isDisabled(id))), disabled, text);
  }
  await page.click("#add-process");
  assert.equal(await page.inputValue("#input"), "1 0 0");
});

test("an answer for a text changed since is never shown, nor is a click taken before it", async () => {
  await type("1 1 0");
  await page.evaluate(() => { window.heldAnswers = []; });
  await page.fill("#input", "1 1 1\n0 100\n100 0\n");
  await page.waitForFunction(() => window.heldAnswers.length === 1);
  await clickNodes("edge", "0", "100");
  assert.equal(await page.inputValue("#input"), "1 1 1\n0 100\n100 0\n");
  await page.fill("#input", "0 0 0");
  await page.waitForFunction(() => window.heldAnswers.length === 2);
  await page.evaluate(async () => {  // both answers, each in a task of its own, keeping what each shows when done
    window.shownWhenDone = [];
    new MutationObserver(() => document.body.dataset.state === "done" &&
      window.shownWhenDone.push(document.getElementById("lockprobe-output").textContent))
      .observe(document.body, { attributeFilter: ["data-state"] });
    const held = window.heldAnswers;
    window.heldAnswers = null;
    for (const answer of held) await new Promise((resolve) => setTimeout(() => resolve(answer())));
  });
  assert.deepEqual(await shown(), expected("0 0 0"));
  assert.deepEqual(await page.evaluate(() => window.shownWhenDone), [expected("0 0 0").lockprobe]);
});

test("a file's bytes reach the programs as they are, and its message quotes them", async () => {
  const buffer = Buffer.concat([Buffer.from("1 1 1  0 "), Buffer.from([0xe9, 0x22, 0x5c, 0])]);
  await page.evaluate(() => delete document.body.dataset.state);  // until the file's answer
  await page.setInputFiles("#file", { name: "odd.txt", mimeType: "text/plain", buffer });
  assert.deepEqual(await shown(), expected(buffer));
});

// Each click on texts of every kind the programs accept, and what the
// programs then read: the same as from the plain text beside it.
const EDITS = [
  ["0\t2 0+1\n-1\n100 99\n1\r", () => page.click("#add-process"), "1 2 0\n1 -1\n"],
  ["+1 +1 +1 +0 +100 +100 +0", () => clickArrow("0->100"), "1 1 0\n100 0\n"],
  ["002 001 002\n000 0100\n0100 001\n", () => clickNodes("edge", "1", "0"), "2 1 3\n0 100\n100 1\n1 0\n"],
  ["-3 1 1 100 -0", () => page.click("#add-process"), "1 1 1\n100 0\n"],
  ["1\v1\f2\t0\r100\t100 0", () => clickNodes("claim", "0", "100"), "1 1 2\n0 100\n100 0\n0 100\n"],
  ["1 1 1\n0 100", () => clickNodes("claim", "100", "0"), "1 1 1\n0 100\n100 0\n"],
  ["1 1 1 0 100 100 0 junk 7", () => clickArrow("100->0", true), "1 1 1\n0 100\n"],
  ["1 1 1 0 100 100 0 é 7", () => page.click("#add-resource"), "1 2 1\n0 100\n100 0\n"],
  ["1 1 1 0 100 100 0\té", () => clickNodes("claim", "0", "100"), "1 1 1\n0 100\n0 100\n"],
  ["1 1 2 5 0 0 100", () => clickNodes("edge", "100", "0"), "1 1 3\n5 0\n0 100\n100 0\n"],
  ["1 1 2 0 7 0 100 0 7", () => clickArrow("0->7"), "1 1 1\n0 100\n0 7\n"],
  ["1 1 3 0 100 100 0 0 100 5 0", () => clickArrow("100->0"), "1 1 2 0 100 0 100 5 0"],
  // A count whose sign is all that divides it from the number before.
  ["2 0+1 0 1 1 0", () => clickArrow("0->1"), "2 0 0 1 0"],
  ["1+1 0", () => page.click("#add-resource"), "1 2 0"],
  ["1 1+1-0 100", () => clickArrow("0->100"), "1 1 0"],
  // An abort takes every edge from and to the process, and a claim edge
  // that touches it; taking a resource back, every edge from it.
  ["2 2 5  0 100  100 1  1 101  101 0  0 101  1 0", () => clickNodes("recover", "0"), "2 2 2 100 1 1 101"],
  ["2 2 5  0 100  100 1  1 101  101 0  0 101  1 0", () => clickNodes("recover", "101"),
    "2 2 4 0 100 100 1 1 101 0 101 1 0"],
  ["2 2 2  0 100  100 1  100 0", () => clickNodes("recover", "100"), "2 2 1 0 100 100 0"],
  ["1 1 1  0 -3", () => clickNodes("recover", "-3"), "1 1 1 0 -3"],  // an id that names no node stays
];

test("every click on texts of every kind gives the text the programs read as asked", async () => {
  for (const [text, click, plain] of EDITS) {
    await type(text);
    await click();
    const got = await shown();
    const edited = await page.inputValue("#input");
    assert.deepEqual(expected(edited), expected(plain), `${JSON.stringify(text)} became ${JSON.stringify(edited)}`);
    assert.deepEqual(got, expected(edited));
  }
});

// Whether each element of `selector` lies wholly inside the viewport.
const inView = (selector) => page.$$eval(selector, (elements) => elements.every((element) => {
  const box = element.getBoundingClientRect();
  return box.top >= 0 && box.left >= 0 && box.bottom <= innerHeight && box.right <= innerWidth;
}));

// The look of each state's shape in the drawing and in the legend.
const looks = () => page.evaluate(() => {
  const look = (shape) => ["stroke", "fill", "stroke-width", "stroke-dasharray"]
    .map((name) => getComputedStyle(shape).getPropertyValue(name)).join(" ");
  const of = (root) => Object.fromEntries([...document.querySelectorAll(`${root} [data-search]`)]
    .map((element) => [`${element.matches(".node") ? "node" : "edge"} ${element.dataset.search}`,
      look(element.querySelector(element.matches(".node") ? "ellipse, polygon" : "path:not(.reach)"))]));
  return { drawing: of("#drawing"), legend: of("#step-legend") };
});

const stepText = () => page.textContent("#step-text");
const at = (n) => page.waitForFunction((want) => document.getElementById("step-text").textContent.startsWith(want), n);
const drawingTop = () => page.$eval("#drawing", (drawing) => drawing.getBoundingClientRect().top);

test("the walks keep each step in view, the drawing still, on a laptop and a phone, with the legend", async () => {
  const philosophers = readFileSync(new URL("dining-philosophers.txt", EXAMPLES), "utf8");
  for (const [width, height] of [[1280, 800], [390, 844]]) {
    await page.setViewportSize({ width, height });
    await type(philosophers);
    await page.click("#search-start");
    let top = null;
    for (let k = 1, before = ""; ; k++) {
      await page.waitForFunction((last) => ![last, ""].includes(document.getElementById("step-text").textContent), before);
      before = await stepText();
      assert.ok(await inView("#step-text, #drawing g.node, #drawing g.edge"), `${width}x${height}, step ${k}`);
      const moved = Math.abs((top ??= await drawingTop()) - await drawingTop());
      const controls = await page.$eval("#step-controls", (element) => element.getBoundingClientRect().top);
      assert.ok(moved <= 2 && Math.abs(controls) <= 2, `${width}x${height}, step ${k}: the drawing moved ${moved} px, ` +
        `the controls are ${controls} px down`);
      if (await page.isDisabled("#step-next")) break;
      await (k % 2 ? page.click("#step-next") : page.keyboard.press("ArrowRight"));
    }
    assert.deepEqual(Object.keys((await looks()).legend).sort(),
      ["edge cycle", "edge look", "node cycle", "node done", "node new", "node path"]);
    await page.click("#search-stop");
    assert.ok(await page.isHidden("#step-legend"));
  }

  // A small deadlocked graph, step by step, with its controls at both ends.
  await page.setViewportSize({ width: 1280, height: 800 });
  const text = "2 2 5\n0 100\n100 1\n1 0\n0 -3\n0 101\n1 101\n";
  await type(text);
  assert.deepEqual(await accessibilityViolations(), []);
  await page.click("#search-start");
  const controls = () => Promise.all(["#step-back", "#step-next", "#step-play", "#search-stop"]
    .map((id) => page.isDisabled(id)));
  // Process 0 looks along its newest edge first: into 101, which it leaves done,
  // then past -3, which names no node, and on to 100 and 1, back into 0.
  const walk = [
    "-3~:- 0:path 1:new 100:new 101:new",
    "-3~:- 0->101:look 0:path 1:new 100:new 101:new",
    "-3~:- 0:path 1:new 100:new 101:path",
    "-3~:- 0:path 1:new 100:new 101:done",
    "-3~:- 0->-3:look 0:path 1:new 100:new 101:done",
    "-3~:- 0->100:look 0:path 1:new 100:new 101:done",
    "-3~:- 0:path 1:new 100:path 101:done",
    "-3~:- 0:path 1:new 100->1:look 100:path 101:done",
    "-3~:- 0:path 1:path 100:path 101:done",
    "-3~:- 0->100:cycle 0:cycle 1->0:cycle 1:cycle 100->1:cycle 100:cycle 101:done",
  ];
  for (const [k, states] of walk.entries()) {
    if (k > 0) await page.keyboard.press("ArrowRight");
    await at(`Search 1, step ${k + 1} of 10: `);
    if (k === 2) {  // back a step and on again; arrow keys in the text box move nothing
      await page.keyboard.press("ArrowLeft");
      await at("Search 1, step 2 of 10: ");
      await page.focus("#input");
      await page.keyboard.press("ArrowRight");
      assert.ok((await stepText()).startsWith("Search 1, step 2 of 10: "));
      await page.focus("#step-next");
      await page.keyboard.press("ArrowRight");
      await at("Search 1, step 3 of 10: ");
    }
    assert.deepEqual(await searchStates(), states.split(" ").sort(), `step ${k + 1}`);
    const { drawing, legend } = await looks();  // the legend draws each state as the drawing does
    for (const [state, look] of Object.entries(drawing)) assert.equal(look, legend[state], `${state} at step ${k + 1}`);
    if (k < 2) assert.deepEqual(await controls(), [k === 0, false, false, false]);
    if (k === 4) assert.deepEqual(await accessibilityViolations(), []);
    if (k === 7) await page.screenshot({ path: process.env.SCREENSHOT, fullPage: true, clip: { x: 0, y: 0, width: 1280, height: 760 } });
  }
  assert.equal(await page.textContent("#step-text"), "Search 1, step 10 of 10: looking along 1 -> 0, from process 1 " +
    "to process 0; process 0 is on the path, so the search has found a cycle: 0 -> 100 -> 1 -> 0.");
  // Search 2, with the claim edge, starts again: 101, done in search 1, is new.
  await page.click("#step-next");
  await at("Search 2, step 1 of 11: ");
  assert.deepEqual(await searchStates(), "-3~:- 0:path 1:new 100:new 101:new".split(" ").sort());
  for (let k = 0; k < 9; k++) await page.keyboard.press("ArrowRight");
  assert.equal(await page.textContent("#step-text"), "Search 2, step 10 of 11: looking along 1 -> 101, where process 1 " +
    "waits for resource 101; resource 101 is done, so the search passes it by.");
  assert.deepEqual(await searchStates(), "-3~:- 0:path 1:path 100:path 101:done 1->101~:look".split(" ").sort());
  await page.click("#step-play");  // it stops by itself at the last step
  assert.equal(await page.textContent("#step-play"), "Pause");
  await at("Search 2, step 11 of 11: ");
  assert.equal((await looks()).drawing["node cycle"], (await looks()).legend["node cycle"]);  // red, not amber
  assert.deepEqual([await page.textContent("#step-play"), await page.getAttribute("#step-play", "aria-pressed")],
    ["Play", "false"]);
  assert.deepEqual(await controls(), [false, true, true, false]);
  await page.keyboard.press("ArrowRight");
  await page.click("#step-back");
  await at("Search 2, step 10 of 11: ");
  await page.selectOption("#click-mode", "claim");
  await page.click('#drawing g.edge:has(title:text-is("0->100"))');  // in the claim mode, nothing changes
  assert.equal(await page.inputValue("#input"), text);
  await page.click("#search-stop");
  assert.equal(await page.locator("#drawing [data-search]").count(), 0);
  // A change of the text ends a walk: a click, then typing.
  for (const change of [() => clickArrow("0->100"), () => page.fill("#input", text)]) {
    await page.click("#search-start");
    await at("Search 1, step 1 of ");
    await change();
    await shown();
    assert.deepEqual([await controls(), await page.textContent("#step-text")], [[true, true, true, true], ""]);
  }
});

// Walks on a graph safe as typed, whose claim edge is also typed: search 1
// looks along the solid arrow, ends saying it found no cycle, and search 2
// starts by naming the claim edge it adds; a cycle only search 2 finds is amber.
const SAFE_WALKS = [
  ["1 1 1\n0 100\n0 100\n", [
    [2, "Search 1, step 2 of 5: looking along 0 -> 100, where process 0 waits for resource 100; resource 100 is new, " +
      "so the search goes on from it.", "0->100:look 0:path 100:new"],
    [5, "Search 1, step 5 of 5: leaving process 0; all its edges are looked along, so it is done. The search has found no cycle.",
      "0:done 100:done"],
    [6, "Search 2, step 1 of 6: entering process 0; it goes on the path. This search runs on the graph with the " +
      "claim edge 0 -> 100 added, every node new again.", "0:path 100:new"],
    [7, "Search 2, step 2 of 6: looking along 0 -> 100, where process 0 waits for resource 100; resource 100 is new, " +
      "so the search goes on from it.", "0->100~:look 0:path 100:new"]]],
  ["1 1 1\n0 100\n100 0\n", [
    [6, "Search 2, step 1 of 4: entering process 0; it goes on the path. This search runs on the graph with the " +
      "claim edge 100 -> 0 added, every node new again.", "0:path 100:new"],
    [9, "Search 2, step 4 of 4: looking along 100 -> 0, where resource 100 is held by process 0; process 0 is on the " +
      "path, so the search has found a cycle: 0 -> 100 -> 0.", "0->100:cycle 0:cycle 100->0~:cycle 100:cycle"]]],
  ["1 0 0\n5 0\n", [
    [3, "Search 2, step 1 of 2: entering process 0; it goes on the path. 5 names no node, so the programs drop the " +
      "claim edge 5 -> 0: this search runs on the graph as typed, every node new again.", "0:path"]]],
];

test("walks on graphs safe as typed say what each search runs on, and show a risk in amber", async () => {
  await page.setViewportSize({ width: 1280, height: 800 });
  for (const [text, steps] of SAFE_WALKS) {
    await type(text);
    await page.click("#search-start");
    await at("Search 1, step 1 of ");
    let k = 1;
    for (const [number, sentence, states] of steps) {
      for (; k < number; k++) await page.click("#step-next");
      await page.waitForFunction((want) => document.getElementById("step-text").textContent === want, sentence);
      assert.deepEqual(await searchStates(), states.split(" ").sort(), `${text} at ${number}`);
    }
    if (steps.at(-1)[2].includes("cycle")) {
      const { drawing } = await looks();
      assert.match(drawing["node cycle"], /^rgb\(192, 96, 0\)/);
    }
    await page.click("#search-stop");
  }
});

// Whether the verdict, or the message in its place, lies on the first
// screen, and where the drawing starts.
const firstScreen = () => page.evaluate(() => {
  const answer = document.querySelector("#verdict:not(:empty), #message:not(:empty)").getBoundingClientRect();
  const drawing = document.querySelector("#drawing svg")?.getBoundingClientRect().top ?? null;
  return { answer: answer.top >= 0 && answer.bottom <= innerHeight, drawing };
});

test("a phone and a laptop show the answer on the first screen and the drawing soon after", async () => {
  const refused = "1 1 2\n0 100\nx";
  const texts = ["claim-closes-cycle", "dining-philosophers"].map((name) => readFileSync(new URL(`${name}.txt`, EXAMPLES), "utf8"));
  for (const [width, height, drawingLimit] of [[390, 844, 1000], [1280, 800, 800]]) {
    await page.setViewportSize({ width, height });
    for (const text of [...texts, refused]) {
      await type(text);
      await page.evaluate(() => scrollTo(0, 0));
      await page.focus("#input");
      const { answer, drawing } = await firstScreen();
      assert.ok(answer, `${width}x${height}: ${text}`);
      assert.ok(text === refused ? drawing === null : drawing <= drawingLimit, `${width}x${height}: the drawing at ${drawing}`);
    }
  }
});

test("clicks start on edges, tell what the next one does, cancel, reach an arrow near its line, and keep the focus", async () => {
  await page.setViewportSize({ width: 1280, height: 800 });
  const text = "2 1 1\n0 100\n";
  await type(text);
  await page.selectOption("#click-mode", "edge");
  const besideTheNodes = () => page.click("#drawing svg", { position: { x: 2, y: 2 } });
  for (const cancel of [() => page.keyboard.press("Escape"), besideTheNodes]) {
    await page.click(node("0"));
    assert.equal(await page.textContent("#click-hint"),
      "Now click the node that process 0's new edge goes to. Escape, or a click beside the nodes, cancels.");
    await cancel();
    assert.deepEqual([await page.textContent("#click-hint"), await page.locator(".picked").count()], ["", 0]);
  }
  assert.equal(await page.inputValue("#input"), text);
  // A click 5 px beside the arrow's line takes it; one 9 px beside it does not.
  const beside = (distance) => page.$eval(`${arrow("0->100")} path:not(.reach)`, (line, d) => {
    const length = line.getTotalLength();
    const [a, b] = [length / 2 - 1, length / 2 + 1]
      .map((at) => line.getPointAtLength(at).matrixTransform(line.getScreenCTM()));
    const norm = Math.hypot(b.x - a.x, b.y - a.y);
    return [(a.x + b.x) / 2 - ((b.y - a.y) / norm) * d, (a.y + b.y) / 2 + ((b.x - a.x) / norm) * d];
  }, distance);
  await page.mouse.click(...await beside(9));
  assert.equal(await page.inputValue("#input"), text);
  await page.mouse.click(...await beside(5));
  await shown();
  assert.equal(await page.inputValue("#input"), "2 1 0\n");
  // Enter twice on Add a process adds two, the focus kept while the page works.
  await page.focus("#add-process");
  for (const count of ["3", "4"]) {
    await page.keyboard.press("Enter");
    assert.equal(await page.evaluate(() => document.activeElement.id), "add-process");
    await shown();
    assert.equal(await page.inputValue("#input"), `${count} 1 0\n`);
  }
  assert.equal(await page.inputValue("#example"), "");
});

test("notes say what is odd, count the rest, and a click selects the edge they are about", async () => {
  const text = "2 2 4\n0 1\n100 0\n100 1\n7 100\n0 0\n";
  await type(text);
  assert.deepEqual(await page.$$eval("#notes li", (items) => items.map((item) => `${item.dataset.note} ${item.dataset.edge}`)),
    ["process-to-process 1", "two-holders 3", "no-source 4", "self-loop claim"]);
  await page.hover('#notes li[data-edge="3"]');
  assert.equal(await page.locator(`${arrow("100->1")}.noted`).count(), 1);
  await page.click('#notes li[data-edge="3"]');
  assert.deepEqual(await page.$eval("#input", (box) => box.value.slice(box.selectionStart, box.selectionEnd)), "100 1");
  await type(`1 0 150\n${"0 0\n".repeat(150)}`);
  assert.deepEqual([await page.locator("#notes li").count(), await page.textContent("#notes-rest")], [100, "… and 199 more notes."]);
});

// The contrast of a colour, "rgb(r, g, b)", against white.
function contrastOnWhite(colour) {
  const linear = colour.match(/\d+/g).slice(0, 3).map((c) => c / 255)
    .map((c) => (c <= 0.03928 ? c / 12.92 : ((c + 0.055) / 1.055) ** 2.4));
  return 1.05 / (0.2126 * linear[0] + 0.7152 * linear[1] + 0.0722 * linear[2] + 0.05);
}

const [RED, AMBER, GREY] = ["rgb(187, 0, 0)", "rgb(192, 96, 0)", "rgb(85, 85, 85)"];

// Each graph, its verdict's border and last words, the colours of its
// arrows, and its verdict's attributes: the deadlocked and waiting processes
// as typed and with the claim edge, and the single aborts.
const WHOLE_DEADLOCKS = [
  // Two separate cycles; process 2 waits behind the second.
  ["3 3 5  0 100 100 0  1 101 101 1  2 101", RED, ["black", "red"], ["0 1", "2", "", "", ""],
    "Deadlocked: processes 0 and 1; process 2 waits for them for ever. No single abort would end it."],
  // One cycle through three processes, and one waiting behind it; the claim edge joins process 4 to it.
  ["5 3 7  0 100 100 1 1 101 101 2 2 102 102 0 3 100  4 101", RED, ["black", "red"], ["0 1 2", "3", "0 1 2", "3 4", "0 1 2"],
    "Deadlocked: processes 0, 1 and 2; process 3 waits for them for ever. Aborting any one of processes 0, 1 and 2 alone would end it."],
  // A deadlock the claim edge repeats: still red, the claim edge amber.
  ["1 1 2 0 100 100 0 0 100", RED, ["#c06000", "red"], ["0", "", "0", "", "0"], "Aborting process 0 alone would end it."],
  // Safe as typed; the claim edge closes a cycle that process 2 waits behind.
  ["3 2 4  0 100 100 1 1 101 2 101  101 0", AMBER, ["#c06000", "black"], ["", "", "0 1", "2", ""],
    "With it, processes 0 and 1 would be deadlocked; process 2 would wait for them for ever."],
  ["1 1 1 0 100 0 100", GREY, ["black"], ["", "", "", "", ""], "The claim edge 0 -> 100 does not create a cycle."],
  // A cycle through resources only.
  ["1 2 2  100 101 101 100", RED, ["red"], ["", "", "", "", ""], "No process lies on a cycle: it runs through resources only. No single abort would end it."],
];

test("the verdict's looks stand out, and it names every process in the deadlock, who waits, and which abort ends it", async () => {
  const names = ["deadlockedProcesses", "waitingProcesses", "claimDeadlockedProcesses", "claimWaitingProcesses", "singleAborts"];
  for (const [text, border, colours, sets, words] of WHOLE_DEADLOCKS) {
    await type(text);
    const colour = await page.$eval("#verdict", (verdict) => getComputedStyle(verdict).borderTopColor);
    assert.ok(colour === border && contrastOnWhite(colour) >= 3, `${text}: ${colour}`);
    assert.deepEqual(Object.keys(await arrowColours()).sort(), colours, text);
    assert.deepEqual(await page.$eval("#verdict", (verdict, keys) => keys.map((key) => verdict.dataset[key]), names), sets, text);
    assert.ok((await page.textContent("#verdict")).endsWith(words), await page.textContent("#verdict"));
    if (text.startsWith("3 3")) await page.mouse.move(0, 0);  // no note pointed at
    if (text.startsWith("3 3")) await page.screenshot({ path: process.env.SCREENSHOT.replace(/\.png$/, "-deadlock.png"), fullPage: true, clip: { x: 0, y: 0, width: 1280, height: 760 } });
  }
  assert.ok(contrastOnWhite(AMBER) >= 3 && await page.isVisible('#drawing-key li:has-text("amber")'));
  assert.deepEqual(await accessibilityViolations(), []);
  // 300 arrows, not drawn: no single aborts worked out
  await type(`100 100 300 ${Array.from({ length: 300 }, (_, k) => `${k % 100} ${100 + (k % 100 + (k >> 7)) % 100}`).join(" ")}`);
  assert.equal(await page.getAttribute("#verdict", "data-single-aborts"), null);
});

test("the wait-for view draws the processes only, with clicks and the search off", async () => {
  await type(WHOLE_DEADLOCKS[0][0]);
  await page.selectOption("#view", "wait-for");
  const verdict = await page.textContent("#verdict");
  await shown();
  assert.deepEqual(await page.$$eval("#drawing g.node title", (titles) => titles.map((title) => title.textContent)), ["0", "1", "2"]);
  assert.deepEqual(await arrowColours(), { red: ["0->0", "1->1"], black: ["2->1"] });
  await page.screenshot({ path: process.env.SCREENSHOT.replace(/\.png$/, "-wait-for.png"), fullPage: true, clip: { x: 0, y: 0, width: 1280, height: 760 } });
  assert.equal(await page.textContent("#verdict"), verdict);
  assert.ok(await page.isDisabled("#search-start"));
  assert.match(await page.textContent("#click-hint"), /^Clicks do not edit the wait-for graph/);
  await page.click('#drawing g.node:has(title:text-is("0"))');
  await page.click('#drawing g.node:has(title:text-is("1"))');
  assert.equal(await page.inputValue("#input"), WHOLE_DEADLOCKS[0][0]);
  await type("2 1 3  0 1  1 100  100 0");  // a cycle through 0 -> 1, which it cannot show
  assert.match(await page.textContent("#drawing-note"), /^A cycle through an edge from a process to a process/);
  await page.selectOption("#view", "allocation");
  await shown();
  assert.equal(await page.textContent("#drawing-note"), "");
});

test("no line of the verdict breaks inside an arrow or before one, at any width", async () => {
  await type("5 5 10 0 101 101 1 1 102 102 2 2 103 103 3 3 104 104 4 4 100 100 0 100 1");
  for (let width = 200; width <= 1280; width += 20) {
    await page.setViewportSize({ width, height: 800 });
    // Each arrow, with the id before it, is one piece on one line; lines, when narrow.
    const { pieces, arrows, whole, height } = await page.$eval("#verdict", (verdict) => ({
      pieces: [...verdict.querySelectorAll(".arrow")].map((piece) => `${piece.getClientRects().length} ${piece.textContent}`),
      arrows: verdict.textContent.split("->").length - 1, whole: verdict.textContent, height: verdict.clientHeight }));
    assert.equal(pieces.length, arrows, whole);
    for (const piece of pieces) assert.match(piece, /^1 \S+ ->$/, `at ${width} px`);
    assert.ok(width > 300 || height > 200, `${height} px at ${width} px`);
  }
});

test("a link holds the text, and opens it", async () => {
  const text = "1 1 1\n0 100\n100 0\n";
  await type(text);
  assert.ok(page.url().endsWith("#input=" + encodeURIComponent(text)));
  await page.goto("about:blank");
  await page.goto(PAGE + "#input=" + encodeURIComponent(text));
  assert.deepEqual(await shown(), expected(text));
  const download = page.waitForEvent("download");
  await page.click('[data-download="dot"]');
  assert.equal(readFileSync(await (await download).path(), "utf8"), expected(text).dot);
});

test("a file of a million edges shows its verdicts, with the page responsive", async () => {
  const text = `100 100 1000000\n${Array.from({ length: 1000000 }, (_, i) =>
    `${i % 200} ${(i * 31 + (i >> 8)) % 200}\n`).join("")}199 0\n`;
  const path = join(tmpdir(), `million-${process.pid}.txt`);
  writeFileSync(path, text);
  const start = Date.now();
  await page.setInputFiles("#file", path);
  await page.waitForSelector('body[data-state="working"]');
  const asked = Date.now();  // while the worker runs the programs
  await page.evaluate(() => document.title);
  const answered = Date.now() - asked;
  const got = await shown();
  console.log(`a million edges: shown after ${Date.now() - start} ms; the page answered in ${answered} ms`);
  const lines = expected(text).lockprobe.split("\n");  // the last one empty
  assert.equal(got.lockprobe, [...lines.slice(0, 2000), `… ${lines.length - 2004} more lines …`,
    ...lines.slice(-4)].join("\n"));
  assert.match(await page.textContent("#drawing-note"), /^Not drawn/);
});
