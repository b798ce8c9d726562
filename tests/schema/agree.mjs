// The schema in the editor engine most admins use (VS Code's JSON language service): the example
// configuration is unmarked, every key shows its own help, and on the checker's corpus the schema marks
// every mistake the checker reports that a schema can express.
//
// node agree.mjs HERALDIX_SIM SCHEMA EXAMPLE CONFIG...   (exit 0 agreed, 1 disagreed, 77 skipped)
import { execFileSync } from "node:child_process";
import { readFileSync } from "node:fs";
import { basename } from "node:path";
import { createRequire } from "node:module";

const SKIP = 77;
const require = createRequire(import.meta.url);
let service;
let TextDocument;
try {
  service = require("vscode-json-languageservice");
  ({ TextDocument } = require("vscode-languageserver-textdocument"));
} catch {
  console.log("skipped: node_modules is missing here (npm ci in tests/schema)");
  process.exit(SKIP);
}

// What a schema cannot say, by the checker's code, and why.
const INEXPRESSIBLE = {
  open: "a file that cannot be read never reaches the editor's validation",
  "case-twin": "names that differ only in letter case: a schema compares member names exactly",
  "follow-up-depth": "a chain of follow-up lines runs through other commands by their names: a schema sees one value at a time",
  "colour-tiny": "channels all 0 or 1 together: a schema would need every combination of the three spelled out",
  "welcome-template": "format fields that fmt rejects for a text ({0:d}) follow fmt's grammar, not a pattern",
  parse: "only when the file is empty: an editor marks nothing in an empty document (every other parse error it marks)",
  "player-count": "only a lower limit above the upper one: a schema sees one value at a time (an upper limit below 0 it marks)",
  language: "a language code is checked against the \"Languages\" and \"Default_Language\" of the same file: a schema sees one value at a time",
  "unreachable-command": "only for an empty command name, which is a valid member name (names with a space or a non-ASCII letter are marked)",
};

const [simulator, schemaPath, examplePath, ...configs] = process.argv.slice(2);
if (!simulator || !schemaPath || !examplePath) {
  console.error("usage: node agree.mjs HERALDIX_SIM SCHEMA EXAMPLE CONFIG...");
  process.exit(2);
}

const schemaUri = "file:///config.schema.json";
const schema = JSON.parse(readFileSync(schemaPath, "utf8"));
const languageService = service.getLanguageService({
  schemaRequestService: () => Promise.resolve(JSON.stringify(schema)),
});
languageService.configure({ validate: true, allowComments: false, schemas: [{ uri: schemaUri, fileMatch: ["*"], schema }] });

// As an editor opens it: a byte-order mark is not part of the text.
function documentOf(path, text) {
  const content = (text ?? readFileSync(path, "utf8")).replace(/^\uFEFF/, "");
  return TextDocument.create(`file:///${basename(path)}`, "json", 1, content);
}

// The JSON pointer of the value or member a diagnostic's range starts at.
function pointerAt(jsonDocument, document, position) {
  let node = jsonDocument.getNodeFromOffset(document.offsetAt(position), true);
  const tokens = [];
  while (node && node.parent) {
    const parent = node.parent;
    if (parent.type === "property") {
      if (parent.valueNode === node || parent.keyNode === node) tokens.unshift(parent.keyNode.value);
      node = parent.parent;
      continue;
    }
    if (parent.type === "array") tokens.unshift(String(parent.items.indexOf(node)));
    node = parent;
  }
  return tokens.map((t) => "/" + t.replaceAll("~", "~0").replaceAll("/", "~1")).join("");
}

async function marks(path) {
  const document = documentOf(path);
  const jsonDocument = languageService.parseJSONDocument(document);
  const diagnostics = await languageService.doValidation(document, jsonDocument, { schemaValidation: "warning" });
  return diagnostics.map((d) => ({ pointer: pointerAt(jsonDocument, document, d.range.start), message: d.message }));
}

function related(a, b) {
  return a === "" || b === "" || a === b || a.startsWith(b + "/") || b.startsWith(a + "/");
}

function check(file) {
  try {
    return JSON.parse(execFileSync(simulator, ["check", "--json", file], { encoding: "utf8" }));
  } catch (error) {
    if (error.stdout) return JSON.parse(error.stdout);  // exit statuses 1 and 2 are verdicts
    throw error;
  }
}

let failed = 0;
const fail = (text) => {
  failed++;
  console.log(`FAIL ${text}`);
};

// The example is unmarked.
for (const mark of await marks(examplePath)) fail(`example ${mark.pointer}: ${mark.message}`);

// Every key shows its own help on hover, not a shared definition's.
{
  const example = readFileSync(examplePath, "utf8");
  const document = documentOf(examplePath, example);
  const jsonDocument = languageService.parseJSONDocument(document);
  const seen = new Set();
  const keyPattern = /"([A-Za-z_]+)"\s*:/g;
  for (const match of example.matchAll(keyPattern)) {
    const hover = await languageService.doHover(document, document.positionAt(match.index + 1), jsonDocument);
    const text = hover ? JSON.stringify(hover.contents) : "";
    const shared = Object.values(schema.$defs).map((d) => d.description).filter((d) => d && text.includes(JSON.stringify(d).slice(1, 40)));
    if (!hover) fail(`no help on hover over "${match[1]}"`);
    else if (shared.length > 0 && !seen.has(match[1])) fail(`"${match[1]}" shows a shared definition's help: ${text.slice(0, 120)}`);
    seen.add(match[1]);
  }
  console.log(`ok   hover: ${seen.size} keys of the example show their own help`);
}

// Every checker finding a schema can express is marked at its place.
let compared = 0;
for (const file of configs) {
  const report = check(file);
  const found = await marks(file);
  compared++;
  for (const problem of report.problems) {
    const exempt =
        problem.code === "parse" ? readFileSync(file, "utf8").trim() === ""
        : problem.code === "unreachable-command" ? problem.pointer.endsWith("/")
        : problem.code === "player-count" ? problem.message.startsWith("more than")
        : problem.code in INEXPRESSIBLE;
    if (exempt) continue;
    if (!found.some((mark) => related(mark.pointer, problem.pointer))) {
      fail(`${basename(file)}: the checker's ${problem.severity} "${problem.code}" at "${problem.pointer}" is unmarked (${problem.message})`);
    }
  }
  if (report.problems.length === 0 && found.length > 0) {
    fail(`${basename(file)}: the checker finds nothing, but the schema marks ${found[0].pointer}: ${found[0].message}`);
  }
}
if (compared < 10) fail(`only ${compared} configurations were compared`);
console.log(`${compared} configurations compared, ${failed} disagreements`);
process.exit(failed === 0 ? 0 : 1);
