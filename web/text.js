// The input and its edits. The engine reads the input and says what it read
// (`read`): `numbers`, the value, start and end of each number in its
// bytes, three entries a number, in the order the programs read them, the
// three counts, then each edge's two numbers and the claim edge's; and
// `whole`, whether all of that was read. Each edit works on the input's
// bytes from that report and returns new bytes, so that the programs then
// read exactly the graph the edit asked for; nothing here reads a number.

const MAX_PER_KIND = 100;
const RESOURCE_ID_BASE = 100;  // the id of the first resource
const encoder = new TextEncoder();
const [PLUS, MINUS] = encoder.encode("+-");

// The number at `k` in the order read: its value, start and end.
function numberAt(read, k) {
  const [value, start, end] = read.numbers.subarray(3 * k, 3 * k + 3);
  return { value, start, end };
}

// The counts read, or null while they cannot be read; a count below zero
// counts no node or edge.
function countsOf(read) {
  if (read === null || read.numbers.length < 9) return null;
  const [processes, resources, edges] = [0, 1, 2].map((k) => Math.max(0, numberAt(read, k).value));
  return { processes, resources, edges };
}

// Whether the edges and the claim edge were read, as an edit of edges needs.
const edgesRead = (read) => read !== null && read.whole && read.withEdges;

// The ids of the nodes: processes 0, 1, ..., resources 100, 101, ....
function nodeIds(read) {
  const { processes, resources } = countsOf(read);
  return new Set([...Array(processes).keys()].map(String)
    .concat([...Array(resources).keys()].map((k) => String(RESOURCE_ID_BASE + k))));
}

// `bytes` with the changes, each [start, end, text], that lie at or after
// the one before; where they differ from `bytes`, they hold ASCII only.
function edited(bytes, ...changes) {
  const parts = [];
  let at = 0;
  for (const [start, end, text] of changes) {
    parts.push(bytes.subarray(at, start), encoder.encode(text));
    at = end;
  }
  parts.push(bytes.subarray(at));
  const result = new Uint8Array(parts.reduce((size, part) => size + part.length, 0));
  parts.reduce((offset, part) => (result.set(part, offset), offset + part.length), 0);
  return result;
}

// The change that sets the count at `k` (0 processes, 1 resources, 2 edges)
// to `count`, which is not below zero. A count written with a sign keeps
// one, which may be all that divides it from the number before, as in "0+7".
function countChange(bytes, read, k, count) {
  const { start, end } = numberAt(read, k);
  const signed = bytes[start] === PLUS || bytes[start] === MINUS;
  return [start, end, `${signed ? "+" : ""}${count}`];
}

// Where the edges end: after the last one, or after the counts.
const edgesEnd = (read) => numberAt(read, 2 + 2 * countsOf(read).edges).end;

// The input with one more process (`kind` 0) or resource (`kind` 1).
function withNode(bytes, read, kind) {
  const count = kind === 0 ? countsOf(read).processes : countsOf(read).resources;
  return edited(bytes, countChange(bytes, read, kind, count + 1));
}

// The input with the edge u v after its last edge, before any claim edge.
function withEdge(bytes, read, u, v) {
  const end = edgesEnd(read);
  return edited(bytes, countChange(bytes, read, 2, countsOf(read).edges + 1), [end, end, `\n${u} ${v}`]);
}

// The edge at `k` in the order typed: its numbers, and the change that
// removes it, from the end of the number before it, so that the numbers
// around it stay apart.
function edgeAt(read, k) {
  const [from, to] = [numberAt(read, 3 + 2 * k), numberAt(read, 4 + 2 * k)];
  return { u: String(from.value), v: String(to.value), removal: [numberAt(read, 2 + 2 * k).end, to.end, ""] };
}

// The input without the edges at `places`, in increasing order, and, with
// `claimToo`, without its claim edge; null when there is nothing to remove.
function withoutEdges(bytes, read, places, claimToo = false) {
  if (places.length === 0 && !claimToo) return null;
  const removals = places.map((k) => edgeAt(read, k).removal);
  const claim = claimToo ? [[edgesEnd(read), bytes.length, "\n"]] : [];
  return edited(bytes, countChange(bytes, read, 2, countsOf(read).edges - places.length), ...removals, ...claim);
}

// The input without the last-typed edge u v; null when it has none.
function withoutEdge(bytes, read, u, v) {
  for (let k = countsOf(read).edges - 1; k >= 0; k--) {
    const edge = edgeAt(read, k);
    if (edge.u === u && edge.v === v) return withoutEdges(bytes, read, [k]);
  }
  return null;
}

// The claim edge's numbers, or null when none was typed.
function claimOf(read) {
  const k = 3 + 2 * countsOf(read).edges;
  return read.numbers.length >= 3 * (k + 2) ? [numberAt(read, k).value, numberAt(read, k + 1).value] : null;
}

// The input after a recovery at the node `id`: a process aborted, every
// edge from it and to it gone, and the claim edge too when it touches the
// process; or a resource taken back, every edge from it gone. The counts of
// nodes stay, since ids cannot be renumbered.
function recovered(bytes, read, id) {
  const process = Number(id) < RESOURCE_ID_BASE;
  const goes = (u, v) => u === id || (process && v === id);
  const places = [...Array(countsOf(read).edges).keys()].filter((k) => goes(edgeAt(read, k).u, edgeAt(read, k).v));
  const claim = claimOf(read);
  return withoutEdges(bytes, read, places, process && claim !== null && goes(...claim.map(String)));
}

// The input with its claim edge, the numbers after the edges, set to u v,
// or without one when u is null.
function withClaim(bytes, read, u = null, v = null) {
  const end = edgesEnd(read);
  return edited(bytes, [end, bytes.length, u === null ? "\n" : `\n${u} ${v}\n`]);
}
