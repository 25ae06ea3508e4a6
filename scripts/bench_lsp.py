#!/usr/bin/env python3
"""The language server's benchmark runs (scripts/bench-lsp.sh): didChange to
publishDiagnostics, hover and definition, beside the checker's --json of the same text.

  bench_lsp.py CHECKER ROUNDS FILE...
"""
import json, statistics, subprocess, sys, time

check, rounds, files = sys.argv[1], int(sys.argv[2]), sys.argv[3:]

def frame(message):
    body = json.dumps(message).encode()
    return b"Content-Length: %d\r\n\r\n" % len(body) + body

class Server:
    def __init__(self):
        self.p = subprocess.Popen([check, "--lsp"], stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        self.next = 0
    def send(self, message):
        self.p.stdin.write(frame(message)); self.p.stdin.flush()
    def read(self):
        length = 0
        while True:
            line = self.p.stdout.readline()
            if line in (b"\r\n", b"\n"): break
            if line.lower().startswith(b"content-length:"): length = int(line.split(b":")[1])
        return json.loads(self.p.stdout.read(length))
    def until(self, test):
        while True:
            m = self.read()
            if test(m): return m
    def request(self, method, params):
        self.next += 1
        self.send({"jsonrpc": "2.0", "id": self.next, "method": method, "params": params})
        return self.until(lambda m: m.get("id") == self.next)

def ms(times): return "%.2f" % (statistics.median(times) * 1000)

rows = []
for path in files:
    text = open(path, encoding="latin-1").read()
    uri = "file:///bench/" + path.split("/")[-1]
    s = Server()
    s.request("initialize", {"capabilities": {}})
    s.send({"jsonrpc": "2.0", "method": "textDocument/didOpen",
            "params": {"textDocument": {"uri": uri, "version": 0, "text": text}}})
    s.until(lambda m: m.get("method") == "textDocument/publishDiagnostics")
    change = []
    for v in range(1, rounds + 1):
        # Each change is another text: a blank added at the end of the file.
        t0 = time.perf_counter()
        s.send({"jsonrpc": "2.0", "method": "textDocument/didChange",
                "params": {"textDocument": {"uri": uri, "version": v},
                           "contentChanges": [{"text": text + " " * (v % 2)}]}})
        s.until(lambda m: m.get("method") == "textDocument/publishDiagnostics"
                and m["params"].get("version") == v)
        change.append(time.perf_counter() - t0)
    # A prerequisite code of the last advance line.
    lines = text.split("\n")
    last = max(i for i, l in enumerate(lines) if l.count(",") == 6 and ";" in l and not l.startswith(";"))
    character = lines[last].index(",", lines[last].index(",", lines[last].index(",") + 1) + 1) + 2
    position = {"textDocument": {"uri": uri}, "position": {"line": last, "character": character}}
    timed = {}
    for method in ("textDocument/hover", "textDocument/definition"):
        times = []
        for _ in range(rounds):
            t0 = time.perf_counter()
            answer = s.request(method, position)
            times.append(time.perf_counter() - t0)
            assert answer.get("result"), answer
        timed[method] = times
    s.request("shutdown", None)
    s.send({"jsonrpc": "2.0", "method": "exit"})
    s.p.wait()
    json_times = []
    for _ in range(rounds):
        t0 = time.perf_counter()
        subprocess.run([check, "--json", path], stdout=subprocess.DEVNULL, check=True)
        json_times.append(time.perf_counter() - t0)
    rows.append((path, ms(change), ms(json_times), statistics.median(change) / statistics.median(json_times),
                 ms(timed["textDocument/hover"]), ms(timed["textDocument/definition"])))

print("| file | didChange to diagnostics (ms) | --json of the text (ms) | ratio | hover (ms) | definition (ms) |")
print("|---|---:|---:|---:|---:|---:|")
for r in rows:
    print("| %s | %s | %s | %.2fx | %s | %s |" % (r[0], r[1], r[2], r[3], r[4], r[5]))
