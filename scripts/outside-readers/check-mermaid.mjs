// Parses each Mermaid mind map given with the mermaid package (headless, in
// jsdom) and compares the tree with FILE.expect.json: texts, shapes and
// icons. Prints one line per file; exits 1 when any differs.
import fs from 'node:fs';
import { JSDOM } from 'jsdom';

const dom = new JSDOM('<!DOCTYPE html><body></body>', { url: 'http://localhost/' });
// mermaid reaches for the browser's globals (Element, DOMParser, ...).
for (const key of Object.getOwnPropertyNames(dom.window))
  if (!(key in globalThis)) globalThis[key] = dom.window[key];
globalThis.window = dom.window;
globalThis.document = dom.window.document;
const { default: mermaid } = await import('mermaid');
mermaid.initialize({ startOnLoad: false });

// A node's text is HTML, in which mermaid hides its entity codes behind
// placeholders until it draws the text: as the drawing shows it.
function decode(text) {
  const named = { quot: '"', lt: '<', gt: '>', amp: '&' };
  return text
    .replace(/<br\s*\/?>/gi, '\n')
    .replace(/&(quot|lt|gt|amp);/g, (_, name) => named[name])
    .replace(/ﬂ°°(\d+)¶ß/g, (_, n) => String.fromCodePoint(Number(n)))
    .replace(/ﬂ°(\w+)¶ß/g, (_, name) => named[name] ?? name)
    .replace(/\u200b/g, '');
}

function tree(node) {
  return {
    text: decode(node.descr ?? ''),
    shape: node.type,
    icon: node.icon ?? '',
    children: (node.children ?? []).map(tree),
  };
}

// Our shapes (default, box, rounded, circle, bang, cloud, hexagon) as
// mermaid's node types; a plain node whose text needs quotes is a box.
const kTypes = [[0, 2], [2], [1], [3], [5], [4], [6]];

function differs(key, got, want) {
  if (key === 'shape') return !(kTypes[want] ?? []).includes(got);
  return got !== want;
}

function same(a, b, where, problems) {
  for (const key of ['text', 'shape', 'icon'])
    if (differs(key, a[key], b[key]))
      problems.push(`${where}: ${key} ${JSON.stringify(a[key])} != ${JSON.stringify(b[key])}`);
  if (a.children.length !== b.children.length) {
    problems.push(`${where}: ${a.children.length} children != ${b.children.length}`);
    return;
  }
  a.children.forEach((c, i) => same(c, b.children[i], `${where}/${i}`, problems));
}

let failed = false;
for (const file of process.argv.slice(2)) {
  const problems = [];
  try {
    const want = JSON.parse(fs.readFileSync(file + '.expect.json', 'utf8'));
    const diagram = await mermaid.mermaidAPI.getDiagramFromText(fs.readFileSync(file, 'utf8'));
    same(tree(diagram.db.getMindmap()), want, 'root', problems);
  } catch (e) {
    problems.push(String(e).slice(0, 300));
  }
  console.log(`${file}: ${problems.length ? 'DIFFERS\n  ' + problems.slice(0, 8).join('\n  ') : 'same'}`);
  failed ||= problems.length > 0;
}
process.exit(failed ? 1 : 0);
