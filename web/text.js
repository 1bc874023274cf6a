// The input text and its edits: the counts, the edges and the claim edge
// found among its numbers, and the changes a click makes. Each edit returns
// a new text; the text stays the one source of truth.

const MAX_PER_KIND = 100;

// The numbers of `text` with where each starts and ends.
function wordsOf(text) {
  return [...text.matchAll(/\S+/g)].map((m) => ({ word: m[0], start: m.index, end: m.index + m[0].length }));
}

// The counts of `text`, or null while they cannot be read. Only the start
// of the text is read, however long it is.
function countsOf(text) {
  const counts = text.match(/^\s*([+-]?\d+)\s+([+-]?\d+)\s+([+-]?\d+)(\s|$)/);
  if (counts === null) return null;
  const [processes, resources, edges] = counts.slice(1, 4).map(Number);
  return { processes, resources, edges: Math.max(0, edges) };
}

// The counts and the numbers of `text` with where each lies, for an edit;
// the text's counts can be read.
function parseText(text) {
  return { ...countsOf(text), words: wordsOf(text) };
}

// `text` with the word at `at` replaced by `word`.
function replaceWord(text, at, word) {
  return text.slice(0, at.start) + word + text.slice(at.end);
}

// Where the edges end: after the last one, or after the counts.
function edgesEnd(parsed) {
  return parsed.words[Math.min(2 + 2 * parsed.edges, parsed.words.length - 1)].end;
}

// The text with one more process (`kind` 0) or resource (`kind` 1).
function withNode(text, kind) {
  const parsed = parseText(text);
  const count = kind === 0 ? parsed.processes : parsed.resources;
  return replaceWord(text, parsed.words[kind], String(count + 1));
}

// The text with the edge u v after its last edge, before any claim edge.
function withEdge(text, u, v) {
  const parsed = parseText(text);
  const end = edgesEnd(parsed);
  const added = `${text.slice(0, end)}\n${u} ${v}${text.slice(end)}`;
  return replaceWord(added, parsed.words[2], String(parsed.edges + 1));
}

// The text without the last-typed edge u v; unchanged when it has none.
function withoutEdge(text, u, v) {
  const parsed = parseText(text);
  for (let k = parsed.edges - 1; k >= 0; k--) {
    const [from, to] = parsed.words.slice(3 + 2 * k, 5 + 2 * k);
    if (from?.word !== String(u) || to?.word !== String(v)) continue;
    const before = parsed.words[2 + 2 * k].end;
    const removed = text.slice(0, before) + text.slice(to.end);
    return replaceWord(removed, parsed.words[2], String(parsed.edges - 1));
  }
  return text;
}

// The text with its claim edge, the numbers after the edges, set to u v,
// or without one when u is null.
function withClaim(text, u = null, v = null) {
  const kept = text.slice(0, edgesEnd(parseText(text)));
  return u === null ? `${kept}\n` : `${kept}\n${u} ${v}\n`;
}
