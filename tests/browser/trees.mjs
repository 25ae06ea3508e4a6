// The rules files a page test opens: generated ones, and each file's page
// (lorvane-check --html) with its --json report, made once before the tests.
import { execFileSync } from "node:child_process";
import { join, resolve } from "node:path";

const root = resolve(import.meta.dirname, "../..");
const check = (...args) => execFileSync(process.env.LORVANE_CHECK, args, { encoding: "utf8" });

// A generated rules file of COUNT advances, NAME in the work folder.
export function stress(work, name, count) {
  const rules = join(work, name);
  execFileSync("python3", [join(root, "scripts/gen_stress.py"), "--advances", count, "-o", rules]);
  return rules;
}

// Each rules file (a path from the repository's root, or absolute) with its
// page, PREFIX-NAME.html in the work folder, and its report.
export function trees(work, prefix, files) {
  const made = {};
  for (const [name, file] of Object.entries(files)) {
    const [rules, page] = [resolve(root, file), join(work, `${prefix}-${name}.html`)];
    check("--html", page, rules);
    made[name] = { rules, page, ...JSON.parse(check("--json", rules)) };
  }
  return made;
}
