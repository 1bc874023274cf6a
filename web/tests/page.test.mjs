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
    return { message: drawn.err.replace(/^holddraw: /, "").trimEnd(), lockprobe: "", holdview: "", dot: "" };
  }
  const prompts = COUNTS_PROMPT + EDGES_PROMPT;
  const [listing, claim] = program("LOCKPROBE", text).out.slice(prompts.length).split(CLAIM_PROMPT);
  return {
    message: "",
    lockprobe: listing + (claim === "\n" ? "" : claim),  // no claim edge: the line the program ended
    holdview: program("HOLDVIEW", text).out.slice(prompts.length),
    dot: drawn.out,
  };
}

const OUTPUTS = { message: "message", lockprobe: "lockprobe-output", holdview: "holdview-output",
                  dot: "dot-output" };

async function shown() {
  await page.waitForSelector('body[data-state="done"]');
  return page.evaluate((outputs) => Object.fromEntries(Object.entries(outputs)
    .map(([name, id]) => [name, document.getElementById(id).textContent])), OUTPUTS);
}

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

test("two clicks on the drawing set the claim edge", async () => {
  await type("2 2 3\n0 100\n100 1\n1 101\n7 7");
  for (const id of ["101", "0"]) await page.click(`#drawing g.node:has(title:text-is("${id}"))`);
  const got = await shown();
  assert.equal(await page.inputValue("#input"), "2 2 3\n0 100\n100 1\n1 101\n101 0\n");
  assert.ok(got.lockprobe.endsWith("Adding the edge 101 -> 0 creates a cycle.\n"));
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
