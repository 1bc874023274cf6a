// The page's worker: runs the programs' flows on the bytes the page sends and
// Graphviz on holddraw's drawing, so that the page never waits on either.
// Graphviz (Viz) and the engine (createEngine) come before this script in the
// worker's source. Outputs stay bytes, which move to the page without a copy:
// only the lines the page shows are made into text.
//
// What the page tells a learner of a text, its notes and its whole deadlock,
// is worked out by a second worker, the teacher, while this one runs the
// programs: each takes a pass over the text, and on a long text the two run
// side by side. The teacher runs this same script, which the page sends once.

const encoder = new TextEncoder();
const decoder = new TextDecoder();
const PROMPTS = encoder.encode("Enter the number of processes, resources, and edges: " +
  "Enter the edges (resource allocation and request) in the format u v:\n");
const CLAIM_PROMPT = encoder.encode("Enter a claim edge to check if it creates a cycle (format u v): ");
const NO_CLAIM_EDGE = "input ended before the claim edge";
const LINE_BREAK = 10;
// Drawings with more arrows than this are not laid out: on random graphs
// over full tables, Graphviz took 0.5 s for 174 arrows and 0.9 s for 216.
const ARROW_LIMIT = 200;
// A longer output shows its first lines, how many are left out, and its last
// few, the verdicts; the page offers the whole of it as a download.
const LINES_SHOWN = 2000;
const LAST_LINES_SHOWN = 3;
const HIDDEN_CYCLE = "A cycle through an edge from a process to a process, or from a resource to a " +
  "resource, is not shown in the wait-for graph: the notes name such edges.";
// Notes beyond these are counted, not listed.
const NOTES_SHOWN = 100;

const TEACHER = "teacher";
const teaching = self.name === TEACHER;
const ready = Promise.all([createEngine(), teaching ? null : Viz.instance()]);
let teacher = null;
const lessons = new Map();  // the teacher's answers awaited, by the id of their text

// Runs a flow on the input given to the engine: its output's bytes, copied
// out of the engine's memory before the next run reuses it, its exit status,
// and the line it wrote on stderr without the program's name.
function run(flow) {
  const { output, errors, status } = flow();
  return { output: output.slice(), status, message: errors.replace(/^[a-z]+: |\n$/g, "") };
}

// Where `pattern` last occurs in `bytes`, or -1.
function lastIndexOf(bytes, pattern) {
  let at = bytes.length - pattern.length;
  while (at >= 0 && !pattern.every((byte, k) => bytes[at + k] === byte)) at--;
  return at;
}

function withoutPrompts(output) {
  return lastIndexOf(output.subarray(0, PROMPTS.length), PROMPTS) === 0
    ? output.subarray(PROMPTS.length)
    : output;
}

// lockprobe's output without its prompts; for a text without a claim edge,
// what it wrote before it asked for one.
function checkerOutput(checked) {
  const output = withoutPrompts(checked.output);
  const claim = lastIndexOf(output, CLAIM_PROMPT);
  if (checked.status !== 0) return output.subarray(0, claim);
  const rest = output.subarray(claim + CLAIM_PROMPT.length);
  const joined = new Uint8Array(claim + rest.length);
  joined.set(output.subarray(0, claim));
  joined.set(rest, claim);
  return joined;
}

// The first LINES_SHOWN lines of `bytes` and its last few as text, with a
// line saying how many lie between; all of it when it is not that long.
function excerpt(bytes) {
  let headEnd = 0;
  for (let line = 0; line < LINES_SHOWN; line++) {
    headEnd = bytes.indexOf(LINE_BREAK, headEnd) + 1;
    if (headEnd === 0) return decoder.decode(bytes);
  }
  let tailStart = bytes.length - 1;  // the output ends with a line break
  for (let line = 0; line < LAST_LINES_SHOWN; line++) tailStart = bytes.lastIndexOf(LINE_BREAK, tailStart - 1);
  if (++tailStart <= headEnd) return decoder.decode(bytes);
  let left = 0;
  for (let at = headEnd; at < tailStart; at++) left += bytes[at] === LINE_BREAK;
  return `${decoder.decode(bytes.subarray(0, headEnd))}… ${left} more lines …\n` +
    decoder.decode(bytes.subarray(tailStart));
}

// An output as the page shows it, and the whole of it to download. The
// programs write ASCII only, a character a byte.
function output(bytes) {
  const shown = excerpt(bytes);
  return { shown, cut: shown.length !== bytes.length, whole: bytes };
}

// What lockprobe said, for the page's verdict: whether the graph is
// deadlocked, whether the claim edge, when one was typed, closes a cycle or
// keeps the graph without one, and holddraw's title, which names the cycles.
function verdict(checked, dot) {
  const tail = decoder.decode(checked.output.subarray(-300));
  const title = dot.match(/label="(.*)";/)[1].split("\\n");
  const claim = checked.status !== 0 ? "none" : tail.endsWith(" does not create a cycle.\n") ? "keeps" : "closes";
  return { deadlocked: tail.includes("(Deadlocked).\n") ? "yes" : "no", claim, title };
}

// The steps of lockprobe's searches, as run_search_steps() lists them; none
// for a text the programs refuse.
function searchSteps(engine) {
  const listed = run(engine.runSearchSteps);
  if (listed.status !== 0) return null;
  return decoder.decode(listed.output).split("\n").filter(Boolean).map((line) => {
    const [search, kind, node, target, place] = line.split(" ");
    return { search: Number(search), kind, node, target, place: Number(place) };
  });
}

// What the engine read of the input, for the page's edits: the counts, and
// with `withEdges` the edges and the claim edge too.
function located(engine, withEdges) {
  const { numbers, whole } = engine.locateNumbers(withEdges);
  return { numbers: numbers.slice(), whole, withEdges };
}

const arrowCount = (dot) => dot.split("\n").filter((line) => line.includes("\" -> \"")).length;

function drawing(viz, dot, arrows) {
  if (arrows > ARROW_LIMIT) {
    return { svg: "", note: `Not drawn: Graphviz would take too long to lay out ${arrows} arrows.` };
  }
  return { svg: viz.renderString(dot, { format: "svg" }), note: "" };
}

// Starts the teacher, a worker that runs `source`, this script's own.
function startTeacher(source) {
  teacher = new Worker(URL.createObjectURL(new Blob([source], { type: "text/javascript" })), { name: TEACHER });
  teacher.onmessage = ({ data: { id, taught, failure } }) => {
    const { resolve, reject } = lessons.get(id);
    lessons.delete(id);
    if (failure === undefined) resolve(taught);
    else reject(new Error(failure));
  };
  teacher.onerror = (event) => {
    for (const { reject } of lessons.values()) reject(new Error(event.message));
    lessons.clear();
  };
}

// Hands the text `id` to the teacher, moving its bytes there; returns what
// it will tell of it.
function ask(id, bytes) {
  return new Promise((resolve, reject) => {
    lessons.set(id, { resolve, reject });
    teacher.postMessage({ id, bytes }, [bytes.buffer]);
  });
}

// The teacher's part: the notes and the whole deadlock of the text, and,
// once told that it is drawn, its single aborts.
let lastLesson = null;
async function teach({ id, bytes, drawn }) {
  const [engine] = await ready;
  if (bytes !== undefined) {
    engine.inputRoom(bytes.length).set(bytes);
    lastLesson = { id, taught: engine.teach(NOTES_SHOWN) };
    return;
  }
  if (drawn && lastLesson.taught.whole) lastLesson.taught.aborts = [...engine.singleAbortsOfTaught()];
  postMessage(lastLesson);
}

// The answer for the input given to the engine: the outputs, or the
// programs' message, what was read of it, and what the page tells of it:
// the notes and the whole deadlock, from the teacher, which is told whether
// the graph is drawn once holddraw has run. In the wait-for `view`, the
// drawing is the wait-for graph's.
async function answer(engine, viz, view, id, lesson) {
  const none = output(new Uint8Array());
  const nothing = { message: "", lockprobe: none, holdview: none, dot: none, svg: "", note: "", verdict: null };
  const drawn = run(engine.runDrawer);
  const dot = drawn.status === 0 ? decoder.decode(drawn.output) : "";
  const arrows = arrowCount(dot);
  // The edges' places are needed only for clicks on a drawing, and the
  // single aborts only for a graph drawn.
  const read = located(engine, drawn.status === 0 && arrows <= ARROW_LIMIT);
  teacher.postMessage({ id, drawn: drawn.status === 0 && arrows <= ARROW_LIMIT });
  const checked = drawn.status === 0 ? run(engine.runChecker) : drawn;
  if (checked.status !== 0 && checked.message !== NO_CLAIM_EDGE) {
    return { ...nothing, read, taught: await lesson, message: checked.message };
  }
  const waitFor = view === "wait-for";
  const shown = waitFor ? run(engine.runWaitFor).output : drawn.output;
  const shownDot = decoder.decode(shown);
  const picture = drawing(viz, shownDot, arrowCount(shownDot));
  const answered = {
    ...nothing,
    read,
    verdict: verdict(checked, dot),
    lockprobe: output(checkerOutput(checked)),
    holdview: output(withoutPrompts(run(engine.runViewer).output)),
    dot: output(shown),
    ...picture,
  };
  // The engine is not used after the teacher's answer arrives, when it may be on the next text.
  const taught = await lesson;
  const hidden = waitFor && (taught.claim ?? taught.typed).hiddenFromWaitFor;
  return { ...answered, taught, note: hidden ? `${picture.note} ${HIDDEN_CYCLE}`.trim() : picture.note };
}

onmessage = async ({ data }) => {
  if (teaching) {
    await teach(data).catch((error) => postMessage({ id: data.id, failure: String(error) }));
    return;
  }
  if (data.source !== undefined) return startTeacher(data.source);
  const { id, bytes, steps, view } = data;
  try {
    const [engine, viz] = await ready;
    if (steps) {
      engine.inputRoom(bytes.length).set(bytes);
      postMessage({ id, steps: searchSteps(engine) });
      return;
    }
    engine.inputRoom(bytes.length).set(bytes);
    const lesson = ask(id, bytes);
    const answered = { id, view, ...await answer(engine, viz, view, id, lesson) };
    const moved = [answered.lockprobe, answered.holdview, answered.dot].map((shown) => shown.whole.buffer);
    postMessage(answered, [...new Set(moved), answered.read.numbers.buffer]);
  } catch (error) {
    postMessage({ id, failure: String(error) });
  }
};
