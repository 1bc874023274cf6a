// The page's worker: runs the programs' flows on the bytes the page sends and
// Graphviz on holddraw's drawing, so that the page never waits on either.
// Graphviz (Viz) and the engine (createEngine) come before this script in the
// worker's source.

const COUNTS_PROMPT = "Enter the number of processes, resources, and edges: ";
const EDGES_PROMPT = "Enter the edges (resource allocation and request) in the format u v:\n";
const CLAIM_PROMPT = "Enter a claim edge to check if it creates a cycle (format u v): ";
const NO_CLAIM_EDGE = "input ended before the claim edge";
// Drawings with more arrows than this are not laid out: on random graphs
// over full tables, Graphviz took 0.5 s for 174 arrows and 0.9 s for 216.
const ARROW_LIMIT = 200;

const ready = Promise.all([createEngine(), Viz.instance()]);
const decoder = new TextDecoder();

// Runs a flow on the input given to the engine: its output, exit status,
// and the line it wrote on stderr without the program's name. The output's
// bytes are read before the next run reuses them.
function run(flow) {
  const { output, errors, status } = flow();
  return { output: decoder.decode(output), status, message: errors.replace(/^[a-z]+: |\n$/g, "") };
}

function withoutPrompts(output) {
  return output.startsWith(COUNTS_PROMPT + EDGES_PROMPT)
    ? output.slice(COUNTS_PROMPT.length + EDGES_PROMPT.length)
    : output;
}

// lockprobe's output without its prompts; for a text without a claim edge,
// what it wrote before it asked for one.
function checkerOutput(checked) {
  const output = withoutPrompts(checked.output);
  const claim = output.lastIndexOf(CLAIM_PROMPT);
  if (checked.status !== 0) return output.slice(0, claim);
  return output.slice(0, claim) + output.slice(claim + CLAIM_PROMPT.length);
}

function drawing(viz, dot) {
  const arrows = dot.split("\n").filter((line) => line.includes("\" -> \"")).length;
  if (arrows > ARROW_LIMIT) {
    return { svg: "", note: `Not drawn: Graphviz would take too long to lay out ${arrows} arrows.` };
  }
  return { svg: viz.renderString(dot, { format: "svg" }), note: "" };
}

onmessage = async ({ data: { id, bytes } }) => {
  const [engine, viz] = await ready;
  const answer = { id, message: "", lockprobe: "", holdview: "", dot: "", svg: "", note: "" };
  engine.inputRoom(bytes.length).set(bytes);
  const drawn = run(engine.runDrawer);
  const checked = drawn.status === 0 ? run(engine.runChecker) : drawn;
  if (checked.status !== 0 && checked.message !== NO_CLAIM_EDGE) {
    postMessage({ ...answer, message: checked.message });
    return;
  }
  postMessage({
    ...answer,
    lockprobe: checkerOutput(checked),
    holdview: withoutPrompts(run(engine.runViewer).output),
    dot: drawn.output,
    ...drawing(viz, drawn.output),
  });
};
