// The checker's JSON outputs as the browser tests read them: parsed, and
// checked against their schemas (docs/schema) by tests/check/validate_json.py.
import { execFileSync } from "node:child_process";
import { resolve } from "node:path";

const validator = resolve(import.meta.dirname, "../check/validate_json.py");

// The document; throws with the schema's complaints when it breaks its schema.
export function checkedJson(text) {
  const document = JSON.parse(text);
  try {
    execFileSync("python3", [validator], { input: text, encoding: "utf8", stdio: "pipe" });
  } catch (error) {
    throw new Error(`the checker's JSON breaks its schema:\n${error.stdout}${error.stderr}`);
  }
  return document;
}
