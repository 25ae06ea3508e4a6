#!/usr/bin/env python3
"""The language server fuzzer's seeds (fuzz/common.sh): a session of framed messages on
the rules file, and one message alone.

  lsp_seeds.py RULES.TXT DIR
"""
import json, sys
text = open(sys.argv[1], encoding="latin-1").read()
uri = "file:///RULES.TXT"
def frame(m):
    b = json.dumps(m).encode()
    return b"Content-Length: %d\r\n\r\n" % len(b) + b
pos = {"textDocument": {"uri": uri}, "position": {"line": 40, "character": 30}}
msgs = [{"jsonrpc": "2.0", "id": 1, "method": "initialize", "params": {"capabilities": {}}},
        {"jsonrpc": "2.0", "method": "textDocument/didOpen",
         "params": {"textDocument": {"uri": uri, "version": 1, "text": text}}}]
for i, m in enumerate(["hover", "definition", "references", "completion", "prepareRename"]):
    msgs.append({"jsonrpc": "2.0", "id": 2 + i, "method": "textDocument/" + m, "params": pos})
msgs += [{"jsonrpc": "2.0", "id": 9, "method": "shutdown"}, {"jsonrpc": "2.0", "method": "exit"}]
open(sys.argv[2] + "/session", "wb").write(b"".join(frame(m) for m in msgs))
open(sys.argv[2] + "/initialize", "wb").write(frame(msgs[0]))
