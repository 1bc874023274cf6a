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

// The change that sets the count at `k` (0 processes, 1 resources, 2 edges) to `count`.
function countChange(read, k, count) {
  const { start, end } = numberAt(read, k);
  return [start, end, String(count)];
}

// Where the edges end: after the last one, or after the counts.
const edgesEnd = (read) => numberAt(read, 2 + 2 * countsOf(read).edges).end;

// The input with one more process (`kind` 0) or resource (`kind` 1).
function withNode(bytes, read, kind) {
  const count = kind === 0 ? countsOf(read).processes : countsOf(read).resources;
  return edited(bytes, countChange(read, kind, count + 1));
}

// The input with the edge u v after its last edge, before any claim edge.
function withEdge(bytes, read, u, v) {
  const end = edgesEnd(read);
  return edited(bytes, countChange(read, 2, countsOf(read).edges + 1), [end, end, `\n${u} ${v}`]);
}

// The input without the last-typed edge u v; null when it has none.
function withoutEdge(bytes, read, u, v) {
  const { edges } = countsOf(read);
  for (let k = edges - 1; k >= 0; k--) {
    const [from, to] = [numberAt(read, 3 + 2 * k), numberAt(read, 4 + 2 * k)];
    if (String(from.value) !== u || String(to.value) !== v) continue;
    // From the end of the number before the edge, so that the numbers around it stay apart.
    return edited(bytes, countChange(read, 2, edges - 1), [numberAt(read, 2 + 2 * k).end, to.end, ""]);
  }
  return null;
}

// The input with its claim edge, the numbers after the edges, set to u v,
// or without one when u is null.
function withClaim(bytes, read, u = null, v = null) {
  const end = edgesEnd(read);
  return edited(bytes, [end, bytes.length, u === null ? "\n" : `\n${u} ${v}\n`]);
}
