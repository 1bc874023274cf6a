// The step view: lockprobe's searches, as the engine lists their steps,
// shown one step at a time on the drawing. A step's picture comes from
// replaying the steps before it: entering a node puts it on the path,
// leaving it makes it done, and looking along an edge into a node on the
// path finds a cycle. Nothing here searches the graph itself.

const titleOf = (element) => element.querySelector("title").textContent;

// The state of the search at the step at `index`: each node entered so far,
// "path" or "done", and the path, each node on it with the look by which the
// search entered it (none for a root).
function replay(steps, index) {
  const states = new Map();
  const path = [];
  let look = null;
  for (let k = steps.findIndex((step) => step.search === steps[index].search); k <= index; k++) {
    const step = steps[k];
    if (step.kind === "enter") {
      path.push({ node: step.node, by: path.length > 0 ? look : null });
      states.set(step.node, "path");
    } else if (step.kind === "look") {
      look = step;
    } else {
      path.pop();
      states.set(step.node, "done");
    }
  }
  return { states, path };
}

// The cycle that the look at `index` closes, or null: its nodes and the
// looks along its arrows.
function cycleAt(steps, index, { states, path }) {
  const step = steps[index];
  if (step.kind !== "look" || states.get(step.target) !== "path") return null;
  const on = path.slice(path.findIndex((entry) => entry.node === step.target));
  return { nodes: on.map((entry) => entry.node), looks: [...on.slice(1).map((entry) => entry.by), step] };
}

// The edge a step looks along, in words: a request, an allocation, or
// whatever else it is.
function edgeWords({ node, target }, nodes) {
  const arrow = `${node} -> ${target}`;
  if (!nodes.has(target)) return arrow;
  const [from, to] = [node, target].map((id) => Number(id) < RESOURCE_ID_BASE);
  if (from && !to) return `${arrow}, where process ${node} waits for resource ${target}`;
  if (!from && to) return `${arrow}, where resource ${node} is held by process ${target}`;
  return `${arrow}, from ${nodeName(node)} to ${node === target ? "itself" : nodeName(target)}`;
}

// What the first step of search 2 says of the claim edge u v it adds.
function claimWords([u, v], nodes) {
  if (!nodes.has(String(u))) {
    return ` ${u} names no node, so the programs drop the claim edge ${u} -> ${v}: this search runs on the graph as typed, every node new again.`;
  }
  return ` This search runs on the graph with the claim edge ${u} -> ${v} added, every node new again.`;
}

// One sentence on the step at `index`; `nodes` holds the ids that name
// nodes, and `claim` the claim edge's numbers, when one was typed.
function stepText(steps, index, nodes, claim) {
  const step = steps[index];
  const ofSearch = steps.filter((other) => other.search === step.search);
  const where = `Search ${step.search}, step ${ofSearch.indexOf(step) + 1} of ${ofSearch.length}: `;
  const claimed = step.search === 2 && ofSearch.indexOf(step) === 0 ? claimWords(claim, nodes) : "";
  return stepSentence(steps, index, nodes, where) + claimed;
}

// The sentence on the step at `index` after `where`, which names the step.
function stepSentence(steps, index, nodes, where) {
  const step = steps[index];
  const ofSearch = steps.filter((other) => other.search === step.search);
  const seen = replay(steps, index);
  if (step.kind === "enter") return `${where}entering ${nodeName(step.node)}; it goes on the path.`;
  if (step.kind === "leave") {
    const end = step === ofSearch.at(-1) ? " The search has found no cycle." : "";
    return `${where}leaving ${nodeName(step.node)}; all its edges are looked along, so it is done.${end}`;
  }
  const looking = `${where}looking along ${edgeWords(step, nodes)}; `;
  const cycle = cycleAt(steps, index, seen);
  if (!nodes.has(step.target)) return `${looking}${step.target} names no node, so the search passes it by.`;
  if (cycle) {
    return `${looking}${nodeName(step.target)} is on the path, so the search has found a cycle: ` +
      `${[...cycle.nodes, step.target].join(" -> ")}.`;
  }
  if (seen.states.get(step.target) === "done") {
    return `${looking}${nodeName(step.target)} is done, so the search passes it by.`;
  }
  return `${looking}${nodeName(step.target)} is new, so the search goes on from it.`;
}

// The drawing's arrow for a look: the dashed claim arrow for the newest
// edge of the claim edge's source in search 2, else the solid arrow.
function arrowOf(drawing, step) {
  const arrows = [...drawing.querySelectorAll("g.edge")]
    .filter((arrow) => titleOf(arrow) === `${step.node}->${step.target}`);
  const dashed = (arrow) => arrow.querySelector("path[stroke-dasharray]") !== null;
  const claimed = step.search === 2 && step.place === 0 && arrows.some(dashed);
  return arrows.find((arrow) => dashed(arrow) === claimed);
}

// Marks each node and arrow of `drawing` as the step at `index` finds them.
function paintStep(drawing, steps, index, nodes) {
  const seen = replay(steps, index);
  const cycle = cycleAt(steps, index, seen);
  for (const node of drawing.querySelectorAll("g.node")) {
    const id = titleOf(node);
    if (!nodes.has(id)) continue;
    node.dataset.search = cycle?.nodes.includes(id) ? "cycle" : seen.states.get(id) ?? "new";
  }
  for (const arrow of drawing.querySelectorAll("g.edge")) delete arrow.dataset.search;
  if (cycle) {
    for (const look of cycle.looks) arrowOf(drawing, look).dataset.search = "cycle";
  } else if (steps[index].kind === "look") {
    arrowOf(drawing, steps[index]).dataset.search = "look";
  }
}

// Takes every mark of the step view off the drawing.
function unpaint(drawing) {
  for (const marked of drawing.querySelectorAll("[data-search]")) delete marked.dataset.search;
}

// Room left below the drawing, in pixels, and the least height it is given.
const VIEW_MARGIN = 8;
const LEAST_HEIGHT = 120;

// Keeps a step and the sentence about it in view without the learner
// scrolling: scrolls the step's controls to the top of the window and fits
// the drawing into the height left below them.
function keepInView(controls, drawing) {
  controls.scrollIntoView({ block: "start" });
  const room = innerHeight - drawing.getBoundingClientRect().top - VIEW_MARGIN;
  drawing.querySelector("svg").style.maxHeight = `${Math.max(room, LEAST_HEIGHT)}px`;
}

// Gives the drawing back its own height.
function unfit(drawing) {
  drawing.querySelector("svg")?.style.removeProperty("max-height");
}
