// The page in headless Chromium, opened from disk with the network off,
// against the programs built for this machine on the same texts.
// Environment: PAGE (lockprobe.html), LOCKPROBE, HOLDVIEW, HOLDDRAW, and
// SCREENSHOT, where the picture of the worked example goes.
import { spawnSync } from "node:child_process";
import { readFileSync, readdirSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { after, before, test } from "node:test";
import assert from "node:assert/strict";
import { createRequire } from "node:module";
import { chromium } from "playwright-core";

const PAGE = "file://" + process.env.PAGE;
const EXAMPLES = new URL("../../examples/", import.meta.url);
const COUNTS_PROMPT = "Enter the number of processes, resources, and edges: ";
const EDGES_PROMPT = "Enter the edges (resource allocation and request) in the format u v:\n";
const CLAIM_PROMPT = "Enter a claim edge to check if it creates a cycle (format u v): ";
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

async function shown() {
  await page.waitForSelector('body[data-state="done"]');
  return page.evaluate((outputs) => {
    const { textContent, dataset: { deadlocked, claim } } = document.getElementById("verdict");
    return { verdict: `${textContent}|${deadlocked}|${claim}`, ...Object.fromEntries(Object.entries(outputs)
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

// Each node's and each marked arrow's state in the step view, by name.
const searchStates = () => page.$$eval("#drawing g.node, #drawing g.edge[data-search]", (elements) => elements
  .map((e) => `${e.querySelector("title").textContent}:${e.dataset.search ?? "-"}`).sort());

const type = (text) => page.fill("#input", text).then(shown);

const redInSvg = () => page.$$eval("#drawing g.edge", (edges) => edges
  .filter((e) => e.querySelector('path[stroke="red"]')).map((e) => e.querySelector("title").textContent)).then((r) => r.sort());

before(async () => {
  const args = ["--no-sandbox", "--disable-gpu", "--disable-background-networking", "--no-first-run"];
  browser = await chromium.launch({ executablePath: "/usr/bin/chromium", args });
  const context = await browser.newContext({ offline: true, acceptDownloads: true });
  page = await context.newPage();
  page.on("pageerror", (error) => assert.fail(error.message));
  page.on("request", (request) => assert.match(request.url(), /^(file|blob|data):/));
  opened = Date.now();
  await page.goto(PAGE);
});

after(() => browser?.close());

test("the worked example shows its listing, verdicts and picture", async () => {
  const got = await shown();
  console.log(`the worked example shown ${Date.now() - opened} ms after the page was opened`);
  assert.deepEqual(got, expected(readFileSync(new URL("claim-closes-cycle.txt", EXAMPLES), "utf8")));
  assert.equal((await redInSvg()).length, 4);
  await page.screenshot({ path: process.env.SCREENSHOT, fullPage: true });
});

test("examples, refusals and graphs of every kind show what the programs write", async () => {
  const texts = readdirSync(EXAMPLES).filter((f) => f.endsWith(".txt"))
    .map((f) => readFileSync(new URL(f, EXAMPLES), "utf8"))
    .concat(["", "1 1 x3", "150 1 0", "1 1 3  0 100", "1 1 1  0 100  100", "1 1 1  0 100  free 0",
      "2 2 3\n0 100\n100 1\n1 101\n", "1 1 3  0 -7  0 100  0 100  5 0", "100 100 0  199 0"]);
  for (const text of texts) assert.deepEqual(await type(text), expected(text), text);
});

test("a text typed while the programs run on the one before shows its own results", async () => {
  const buffer = Buffer.from(`100 100 1000000\n${"0 100\n".repeat(1000000)}`);
  await page.setInputFiles("#file", { name: "many.txt", mimeType: "text/plain", buffer });
  await page.waitForSelector('body[data-state="working"]');
  await new Promise((resolve) => setTimeout(resolve, 300));  // its run has started
  await page.evaluate(() => {  // type, and keep what each answer from now on shows
    window.shownWhenDone = [];
    new MutationObserver(() => document.body.dataset.state === "done" &&
      window.shownWhenDone.push(document.getElementById("lockprobe-output").textContent))
      .observe(document.body, { attributeFilter: ["data-state"] });
    document.getElementById("input").value = "0 0 0";
    document.getElementById("input").dispatchEvent(new Event("input"));
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

test("the search of a small deadlocked graph, step by step, from the keyboard", async () => {
  await type("2 2 5\n0 100\n100 1\n1 0\n0 -3\n0 101\n1 101\n");
  assert.deepEqual(await accessibilityViolations(), []);
  await page.click("#search-start");
  // Process 0 looks along its newest edge first: into 101, which it leaves done,
  // then past -3, which names no node, and on to 100 and 1, back into 0.
  // Search 2 takes the same steps, but for the claim edge, 1's newest.
  const walk = [
    "-3:- 0:path 1:new 100:new 101:new",
    "-3:- 0->101:look 0:path 1:new 100:new 101:new",
    "-3:- 0:path 1:new 100:new 101:path",
    "-3:- 0:path 1:new 100:new 101:done",
    "-3:- 0->-3:look 0:path 1:new 100:new 101:done",
    "-3:- 0->100:look 0:path 1:new 100:new 101:done",
    "-3:- 0:path 1:new 100:path 101:done",
    "-3:- 0:path 1:new 100->1:look 100:path 101:done",
    "-3:- 0:path 1:path 100:path 101:done",
    "-3:- 0->100:cycle 0:cycle 1->0:cycle 1:cycle 100->1:cycle 100:cycle 101:done",
  ];
  for (const [k, states] of walk.entries()) {
    if (k > 0) await page.keyboard.press("ArrowRight");
    await page.waitForFunction((n) => document.getElementById("step-text").textContent.includes(`step ${n} `), k + 1);
    assert.deepEqual(await searchStates(), states.split(" ").sort(), `step ${k + 1}`);
    if (k === 4) assert.deepEqual(await accessibilityViolations(), []);
  }
  assert.equal(await page.textContent("#step-text"), "Search 1, step 10 of 10: looking along 1 -> 0; " +
    "process 0 is on the path, so the search has found a cycle: 0 -> 100 -> 1 -> 0.");
  for (let k = 0; k < 10; k++) await page.keyboard.press("ArrowRight");
  assert.equal(await page.textContent("#step-text"), "Search 2, step 10 of 11: looking along 1 -> 101; " +
    "resource 101 is done, so the search passes it by.");
  assert.deepEqual(await searchStates(), "-3:- 0:path 1:path 100:path 101:done 1->101:look".split(" ").sort());
  await page.click("#step-next");
  assert.ok(await page.isDisabled("#step-next"));
  await page.click("#search-stop");
  assert.equal(await page.locator("#drawing [data-search]").count(), 0);
});

test("clicks build the worked example from 0 0 0, and an arrow clicked goes", async () => {
  for (const [text, disabled] of [["100 99 0", [true, false]], ["99 100 5", [false, true]], ["1 1 x", [true, true]]]) {
    await type(text);
    assert.deepEqual(await Promise.all(["#add-process", "#add-resource"].map((id) => page.isDisabled(id))), disabled);
  }
  await type("0 0 0");
  for (const button of ["#add-process", "#add-process", "#add-resource", "#add-resource"]) {
    await page.click(button);
    await shown();
  }
  const node = (id) => `#drawing g.node:has(title:text-is("${id}"))`;
  await page.selectOption("#click-mode", "edge");
  for (const [k, id] of ["0", "100", "100", "1", "1", "101"].entries()) {
    await page.click(node(id));
    if (k % 2 === 1) await shown();  // the edge is in: the drawing is new
  }
  await page.selectOption("#click-mode", "claim");
  await page.click(node("101"));
  await page.focus(node("0"));
  await page.keyboard.press("Enter");
  const example = readFileSync(new URL("claim-closes-cycle.txt", EXAMPLES), "utf8");
  assert.deepEqual(await shown(), expected(example));
  assert.equal(await page.inputValue("#input"), example);
  await page.selectOption("#click-mode", "edge");
  await page.click('#drawing g.edge:has(title:text-is("100->1"))');
  await shown();
  assert.equal(await page.inputValue("#input"), "2 2 2\n0 100\n1 101\n101 0\n");
});

test("the verdict is on the first screen of a phone and of a laptop", async () => {
  for (const [width, height] of [[390, 844], [1280, 800]]) {
    await page.setViewportSize({ width, height });
    const box = await page.locator("#verdict").boundingBox();
    assert.ok(box.x >= 0 && box.y >= 0 && box.x + box.width <= width && box.y + box.height <= height,
      `${width}x${height}: ${JSON.stringify(box)}`);
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
