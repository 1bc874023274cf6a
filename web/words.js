// The page's words for what the engine works out: the notes on what is odd
// in a graph, and the whole deadlock. Nothing here decides what is odd or
// who is deadlocked; it only says it, in an operating-systems course's terms.

const nodeName = (id) => `${Number(id) < RESOURCE_ID_BASE ? "process" : "resource"} ${id}`;

// "0", "0 and 1", "0, 1 and 2".
function listed(ids) {
  return ids.length < 2 ? ids.join("") : `${ids.slice(0, -1).join(", ")} and ${ids.at(-1)}`;
}

// "process 1", "processes 0 and 1".
const processes = (ids) => `process${ids.length === 1 ? "" : "es"} ${listed(ids)}`;

const COUNT_NAMES = ["processes", "resources", "edges"];

// What each kind of note says of the edge u v.
const NOTE_WORDS = {
  "no-source": ({ u }) => `${u} names no node, so the programs leave this edge out.`,
  "no-target": ({ v }) => `${v} names no node, so the search passes this edge by.`,
  "self-loop": ({ u }) => `${nodeName(u)} points to itself, a cycle on its own.`,
  "process-to-process": ({ u, v }) =>
    `process ${u} waits for process ${v}, but a process waits only for a resource.`,
  "resource-to-resource": ({ u, v }) =>
    `resource ${u} is held by resource ${v}, but only a process holds a resource.`,
  repeated: () => "the same edge was typed before; the drawing shows it once, with a count.",
  "two-holders": ({ u, v }) =>
    `resource ${u} is held by process ${v}, but another process holds it already, and each resource has one instance.`,
  "both-ways": ({ u, v }) => Number(u) < RESOURCE_ID_BASE
    ? `process ${u} waits for resource ${v}, which it holds already; a request edge goes when the resource is granted.`
    : `resource ${u} is held by process ${v}, which still waits for it; a request edge goes when the resource is granted.`,
};

// One note in words; `edges` is the number of edges, after which comes the claim edge.
function noteWords(note, edges) {
  if (note.kind === "negative-count") {
    return `The number of ${COUNT_NAMES[note.item]} is ${note.u}, below zero: the programs count none.`;
  }
  const which = note.item > edges ? "The claim edge" : `Edge ${note.item}`;
  return `${which}, ${note.u} ${note.v}: ${NOTE_WORDS[note.kind](note)}`;
}

// The sentences after the verdict's cycles that say the whole deadlock:
// who is deadlocked, who waits behind them, and which single abort ends it.
function wholeDeadlock(verdict, taught) {
  if (verdict.deadlocked === "yes") {
    const { deadlocked, waiting } = taught.typed;
    const who = deadlocked.length === 0
      ? "No process lies on a cycle: it runs through resources only"
      : `Deadlocked: ${processes(deadlocked)}`;
    const behind = waiting.length === 0 ? "" : `; ${processes(waiting)} ${waiting.length === 1 ? "waits" : "wait"} for ${deadlocked.length === 1 ? "it" : "them"} for ever`;
    return [`${who}${behind}.`, abortWords(taught.aborts)].filter(Boolean);
  }
  if (verdict.claim !== "closes") return [];
  const { deadlocked, waiting } = taught.claim;
  if (deadlocked.length === 0) return ["With it, no process would lie on the cycle."];
  const behind = waiting.length === 0 ? "" : `; ${processes(waiting)} would wait for them for ever`;
  return [`With it, ${processes(deadlocked)} would be deadlocked${behind}.`];
}

// What a single abort would do; nothing when it was not worked out.
function abortWords(aborts) {
  if (aborts === undefined) return "";
  if (aborts.length === 0) return "No single abort would end it.";
  if (aborts.length === 1) return `Aborting process ${aborts[0]} alone would end it.`;
  return `Aborting any one of processes ${listed(aborts)} alone would end it.`;
}
