// The schema and the checker agree: every configuration the checker finds free of errors validates
// against config.schema.json, and every one with a wrong JSON type does not.
//
// node agree.mjs HERALDIX_SIM SCHEMA CONFIG...   (exit 0 agreed, 1 disagreed, 77 skipped)
import { execFileSync } from "node:child_process";
import { readFileSync } from "node:fs";
import { basename } from "node:path";
import { createRequire } from "node:module";

const SKIP = 77;
const require = createRequire(import.meta.url);
let Ajv2020;
try {
  Ajv2020 = require("ajv/dist/2020").default;
} catch {
  console.log("skipped: node_modules is missing here (npm ci in tests/schema)");
  process.exit(SKIP);
}

const [simulator, schemaPath, ...configs] = process.argv.slice(2);
if (!simulator || !schemaPath || configs.length === 0) {
  console.error("usage: node agree.mjs HERALDIX_SIM SCHEMA CONFIG...");
  process.exit(2);
}

// The plug-in reads one JSON value after an optional byte-order mark and ignores what follows it.
function firstValue(text) {
  if (text.startsWith("\uFEFF")) text = text.slice(1);
  let i = text.search(/\S/);
  if (i < 0) return text;
  const start = i;
  let depth = 0;
  let inString = false;
  for (; i < text.length; i++) {
    const c = text[i];
    if (inString) {
      if (c === "\\") i++;
      else if (c === '"') {
        inString = false;
        if (depth === 0) return text.slice(start, i + 1);
      }
    } else if (c === '"') inString = true;
    else if (c === "{" || c === "[") depth++;
    else if (c === "}" || c === "]") {
      depth--;
      if (depth === 0) return text.slice(start, i + 1);
    } else if (depth === 0 && /[\s,]/.test(c)) return text.slice(start, i);
  }
  return text.slice(start);
}

function check(file) {
  try {
    return JSON.parse(execFileSync(simulator, ["check", "--json", file], { encoding: "utf8" }));
  } catch (error) {
    // Exit statuses 1 and 2 are verdicts, not failures of the run.
    if (error.stdout) return JSON.parse(error.stdout);
    throw error;
  }
}

const ajv = new Ajv2020({ allErrors: true, strict: true, allowUnionTypes: true });
const validate = ajv.compile(JSON.parse(readFileSync(schemaPath, "utf8")));

let passed = 0;
let failed = 0;
let compared = 0;
for (const file of configs) {
  const report = check(file);
  const codes = new Set(report.problems.filter((p) => p.severity === "error").map((p) => p.code));
  if (codes.has("parse") || codes.has("open")) continue;  // not JSON: nothing for a schema to say
  compared++;
  const valid = validate(JSON.parse(firstValue(readFileSync(file, "utf8"))));
  const typeError = codes.has("type") || codes.has("document");
  let verdict = null;
  if (report.errors === 0 && !valid) {
    verdict = `the checker finds no error but the schema rejects it: ${ajv.errorsText(validate.errors)}`;
  } else if (typeError && valid) {
    verdict = "the checker finds a wrong JSON type but the schema accepts it";
  }
  if (verdict) {
    failed++;
    console.log(`FAIL ${basename(file)}: ${verdict}`);
  } else {
    passed++;
    console.log(`ok   ${basename(file)}: checker ${report.errors} errors, schema ${valid ? "valid" : "invalid"}`);
  }
}
// A corpus the schema never saw would prove nothing.
if (compared < 10) {
  console.log(`FAIL only ${compared} configurations could be compared`);
  failed++;
}
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
