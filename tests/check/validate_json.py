#!/usr/bin/env python3
"""Validates lorvane-check's JSON outputs against their schemas (docs/schema).

  validate_json.py [FILE...]     each file (standard input without one)

The document's top-level members tell which output it is: "old" and "new"
a comparison (--json --diff), "route" a route (--json --route), "available"
a plan (--json --have), "units" alone the units table (--units --json),
"runs" a SARIF log (--sarif, against the SARIF 2.1.0 schema that npm's
@microsoft/sarif-multitool-linux ships, installed in tests/lsp by
scripts/setup.sh), else the report (--json). Exit 1
with every fault found, naming the place in the document.
"""
import json
import os
import sys

import jsonschema

HERE = os.path.dirname(os.path.abspath(__file__))
SCHEMAS = os.path.join(HERE, "..", "..", "docs", "schema")
SARIF_SCHEMA = os.path.join(HERE, "..", "lsp", "node_modules", "@microsoft", "sarif-multitool-linux",
                            "sarif-2.1.0.json")
_validators = {}


def kind(document):
    if isinstance(document, dict):
        if "old" in document and "new" in document:
            return "diff"
        if "route" in document:
            return "route"
        if "available" in document:
            return "plan"
        if list(document) == ["units"]:
            return "units"
        if "runs" in document:
            return "sarif"
    return "report"


def validator(name):
    if name not in _validators:
        path = SARIF_SCHEMA if name == "sarif" else os.path.join(SCHEMAS, name + ".schema.json")
        with open(path, encoding="utf-8") as f:
            schema = json.load(f)
        jsonschema.Draft202012Validator.check_schema(schema)
        _validators[name] = jsonschema.Draft202012Validator(schema)
    return _validators[name]


def faults(document, name=None):
    """The schema's complaints about the document, as texts; empty when valid."""
    name = name or kind(document)
    found = []
    for error in sorted(validator(name).iter_errors(document), key=lambda e: list(e.path)):
        where = "/".join(str(p) for p in error.absolute_path) or "(the document)"
        found.append("%s schema, at %s: %s" % (name, where, error.message[:300]))
    return found


def main():
    texts = []
    for path in sys.argv[1:] or ["-"]:
        if path == "-":
            texts.append(("standard input", sys.stdin.read()))
        else:
            with open(path, encoding="utf-8") as f:
                texts.append((path, f.read()))
    bad = False
    for source, text in texts:
        for fault in faults(json.loads(text)):
            print("%s: %s" % (source, fault))
            bad = True
    sys.exit(1 if bad else 0)


if __name__ == "__main__":
    main()
