// lorvane-check --lsp through VS Code's protocol library: diagnostics as the
// text changes, every request on the sample, and every kind of bad input.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtempSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, test } from 'node:test';
import * as rpc from 'vscode-languageserver-protocol/node.js';

import {
  applyEdit, at, CHECK, change, frame, INITIALIZE, lineOf, open, raw, sampleText, SHUTDOWN,
  startServer, stopAll, uriOf,
} from './client.mjs';

after(stopAll);

const URI = uriOf('/work/RULES.TXT');

test('diagnostics follow the text: a mistake, its quick fix, a refusal, the close', async () => {
  const server = await startServer();
  const sample = sampleText();
  assert.deepEqual((await open(server, URI, sample)).diagnostics, []);

  // A typo in a prerequisite: the field's columns, the kind, the hint.
  const typo = sample.replace('Bronze Casting,       6,  1, Cop,', 'Bronze Casting,       6,  1, Coq,');
  const where = at(typo, 'Bronze Casting', 'Coq');
  const [d] = (await change(server, URI, typo, 2)).diagnostics;
  assert.deepEqual(d.range, { start: where, end: { ...where, character: where.character + 3 } });
  assert.equal(d.code, 'unknown-prerequisite');
  assert.equal(d.severity, rpc.DiagnosticSeverity.Warning);
  assert.match(d.message, /"Coq" names no advance; it stands on level 0; did you mean Cop/);

  // Its quick fix, applied, leaves nothing to say.
  const actions = await server.connection.sendRequest(rpc.CodeActionRequest.type, {
    textDocument: { uri: URI }, range: d.range, context: { diagnostics: [d] },
  });
  assert.equal(actions.length, 1);
  assert.equal(actions[0].title, 'Change to "Cop"');
  const mended = applyEdit(typo, actions[0].edit, URI);
  assert.equal(mended, sample);
  assert.deepEqual((await change(server, URI, mended, 3)).diagnostics, []);

  // The blank-at-the-end and indented-comment warnings mend too.
  const blanks = sample.replace('Herding,', 'Herding ,').replace('\nTribal Lore,', '\n  ; Tribal Lore,');
  const shown = (await change(server, URI, blanks, 4)).diagnostics;
  assert.deepEqual(shown.map((x) => x.code).sort(), ['indented-comment', 'name-blank']);
  let text = blanks;
  for (const x of shown) {
    const [fix] = await server.connection.sendRequest(rpc.CodeActionRequest.type, {
      textDocument: { uri: URI }, range: x.range, context: { diagnostics: [x] },
    });
    text = applyEdit(text, fix.edit, URI);
  }
  assert.equal(text, sample.replace('\nTribal Lore,', '\n; Tribal Lore,'));

  // A refusal is one error at its line; no warning of the last load stays.
  const cycle = sample.replace('Flint Knapping,       3,  1, nil,', 'Flint Knapping,       3,  1, Brz,');
  const refused = (await change(server, URI, cycle, 5)).diagnostics;
  assert.equal(refused.length, 1);
  assert.equal(refused[0].severity, rpc.DiagnosticSeverity.Error);
  assert.equal(refused[0].code, 'prerequisite-cycle');
  assert.match(refused[0].message, /depends on itself through its prerequisites: .* -> /);
  assert.ok([lineOf(cycle, 'Flint Knapping'), lineOf(cycle, 'Copper Smelting'),
    lineOf(cycle, 'Bronze Casting')].includes(refused[0].range.start.line));
  const unended = sample.replace('\n@IMPROVE\n', '\n@IMPROVED\n');
  const [end] = (await change(server, URI, unended, 6)).diagnostics;
  assert.equal(end.code, 'section-not-ended');

  const cleared = server.diagnostics(URI, (p) => p.version === undefined);
  server.connection.sendNotification(rpc.DidCloseTextDocumentNotification.type, { textDocument: { uri: URI } });
  assert.deepEqual((await cleared).diagnostics, []);
  assert.equal(await server.stop(), 0);
});

test('hover, definition, references, rename, completion and symbols on the sample', async () => {
  const server = await startServer();
  const c = server.connection;
  const sample = sampleText();
  await open(server, URI, sample);
  const doc = { uri: URI };
  const cop = at(sample, 'Bronze Casting', 'Cop');

  const hover = await c.sendRequest(rpc.HoverRequest.type, { textDocument: doc, position: cop });
  assert.match(hover.contents.value, /^Copper Smelting \[Cop\]\nepoch 0 \(Ancient\), category 4 \(Applied\), level 2\nneeds: Flint Knapping\nopens: .*Bronze Casting/);
  assert.match(hover.contents.value, /route: 1 advance to research first$/);
  const own = await c.sendRequest(rpc.HoverRequest.type, {
    textDocument: doc, position: { line: lineOf(sample, 'Bronze Casting'), character: 2 } });
  assert.match(own.contents.value, /^Bronze Casting \[Brz\]/);

  const definition = await c.sendRequest(rpc.DefinitionRequest.type, { textDocument: doc, position: cop });
  assert.equal(definition.range.start.line, lineOf(sample, 'Copper Smelting'));
  const uses = await c.sendRequest(rpc.ReferencesRequest.type, {
    textDocument: doc, position: cop, context: { includeDeclaration: false } });
  const lines = sample.split('\n');
  for (const use of uses) assert.equal(lines[use.range.start.line].slice(use.range.start.character, use.range.end.character), 'Cop');
  const expected = lines.filter((l) => /^[^;].*, Cop[,;]|, *Cop,/.test(l) && !l.endsWith('; Cop')).length;
  assert.equal(uses.length, expected);

  // Rename: every use, as one edit; the file then checked has no warning.
  const edit = await c.sendRequest(rpc.RenameRequest.type, { textDocument: doc, position: cop, newName: 'Cpr' });
  const renamed = applyEdit(sample, edit, URI);
  assert.equal(edit.changes[URI].length, uses.length + 1);
  assert.ok(!/\bCop\b/.test(renamed.split('\n').filter((l) => !l.startsWith(';')).join('\n')));
  const dir = mkdtempSync(join(tmpdir(), 'lsp-'));
  writeFileSync(join(dir, 'RULES.TXT'), renamed, 'latin1');
  const report = JSON.parse(spawnSync(CHECK, ['--json', join(dir, 'RULES.TXT')]).stdout);
  assert.deepEqual(report.diagnostics, []);
  // Refused with the reason: in use, too long, empty, nil, a comma.
  for (const [name, reason] of [['Cla', /already the code of "Clay Firing"/], ['Copp', /longer than the 3/],
    ['', /cannot be empty/], ['nil', /always names the root/], ['C,p', /comma/]]) {
    await assert.rejects(c.sendRequest(rpc.RenameRequest.type, { textDocument: doc, position: cop, newName: name }),
      (e) => e.code === -32803 && reason.test(e.message), name);
  }

  const completion = await c.sendRequest(rpc.CompletionRequest.type, { textDocument: doc, position: cop });
  const labels = completion.items.map((i) => i.label);
  assert.ok(labels.includes('nil') && labels.includes('Fli') && labels.includes('Cop'));
  assert.equal(completion.items.find((i) => i.label === 'Fli').detail, 'Flint Knapping');
  const none = await c.sendRequest(rpc.CompletionRequest.type, {
    textDocument: doc, position: { line: lineOf(sample, 'Bronze Casting'), character: 1 } });
  assert.deepEqual(none, []);

  const symbols = await c.sendRequest(rpc.DocumentSymbolRequest.type, { textDocument: doc });
  assert.deepEqual(symbols.map((s) => s.name), ['@CIVILIZE', '@UNITS']);
  const bronze = symbols[0].children.find((s) => s.name === 'Bronze Casting');
  assert.equal(bronze.detail, 'Brz, level 3');
  assert.equal(bronze.range.start.line, lineOf(sample, 'Bronze Casting'));
  assert.ok(symbols[1].children.length > 0);
  assert.equal(await server.stop(), 0);
});

test('positions outside the text, unknown documents and methods, requests before initialize', async () => {
  const server = await startServer();
  const c = server.connection;
  const sample = sampleText();
  await open(server, URI, sample);
  const doc = { uri: URI };
  const count = sample.split('\n').length;
  for (const [position, code] of [[{ line: count, character: 0 }, -32602], [{ line: -1, character: 0 }, -32602],
    [{ line: 'x', character: 0 }, -32602]]) {
    await assert.rejects(c.sendRequest(rpc.HoverRequest.type, { textDocument: doc, position }), (e) => e.code === code);
  }
  // A character beyond its line is the line's end, as the protocol has it.
  const beyond = await c.sendRequest(rpc.HoverRequest.type, {
    textDocument: doc, position: { line: lineOf(sample, 'Bronze Casting'), character: 100000 } });
  assert.match(beyond.contents.value, /^Bronze Casting/);
  await assert.rejects(c.sendRequest(rpc.HoverRequest.type, { textDocument: { uri: 'file:///none' }, position: { line: 0, character: 0 } }),
    (e) => e.code === -32602 && /not open/.test(e.message));
  await assert.rejects(c.sendRequest('textDocument/noSuchThing', {}), (e) => e.code === -32601);
  assert.equal(await server.stop(), 0);

  const before = await raw([frame({ jsonrpc: '2.0', id: 1, method: 'textDocument/hover', params: {} }), frame(INITIALIZE),
    frame(INITIALIZE), ...SHUTDOWN.map((m) => frame(m))]);
  assert.deepEqual(before.messages.map((m) => m.error?.code ?? 'ok'), [-32002, 'ok', -32600, 'ok']);
  assert.equal(before.code, 0);
});

test('bad framing and bad JSON: the right error, and the next message still read', async () => {
  const huge = 300 * 1024 * 1024;
  const cases = [
    ['malformed JSON', [frame('{"jsonrpc": "2.0", "id": 5,')], -32700],
    ['not JSON-RPC', [frame({ id: 5, method: 'initialize' })], -32600],
    ['a batch', [frame([INITIALIZE])], -32600],
    ['no Content-Length', [Buffer.from('Content-Type: x\r\n\r\n{}')], -32700],
    ['a length that is no number', [Buffer.from('Content-Length: 12x\r\n\r\n')], -32700],
    ['a length too short', [frame('{"jsonrpc":"2.0","id":7,"method":"initialize"}', 'Content-Length: 10\r\n\r\n')], -32700],
    ['a header line of 100 kB', [Buffer.from('X-Long: ' + 'x'.repeat(100000) + '\r\n\r\n')], -32700],
    ['a message of 300 MB', [Buffer.from(`Content-Length: ${huge}\r\n\r\n`),
      ...Array.from({ length: 300 }, () => Buffer.alloc(1024 * 1024, 32))], -32700],
  ];
  for (const [name, chunks, code] of cases) {
    const { messages, code: exit } = await raw([...chunks, frame(INITIALIZE), ...SHUTDOWN.map((m) => frame(m))]);
    assert.equal(messages[0].error?.code, code, name);
    // The stream is read on: initialize and shutdown still answered.
    assert.ok(messages.some((m) => m.id === 1 && m.result?.capabilities), name);
    assert.ok(messages.some((m) => m.id === 99 && m.result === null), name);
    assert.equal(exit, 0, name);
  }
  // Exit without shutdown ends with 1; the end of the input too.
  assert.equal((await raw([frame(INITIALIZE), frame({ jsonrpc: '2.0', method: 'exit' })])).code, 1);
  assert.equal((await raw([frame(INITIALIZE)])).code, 1);
});

test('--sarif: a log the SARIF 2.1.0 schema takes, a result per warning and for a refusal', () => {
  const dir = mkdtempSync(join(tmpdir(), 'sarif-'));
  const validator = new URL('../check/validate_json.py', import.meta.url).pathname;
  const fixture = new URL('../check/fixtures/warnings.txt', import.meta.url).pathname;
  const warnings = JSON.parse(spawnSync(CHECK, ['--json', fixture]).stdout).diagnostics;
  const log = join(dir, 'warnings.sarif');
  assert.equal(spawnSync(CHECK, ['--sarif', log, fixture]).status, 0);
  const checked = spawnSync('python3', [validator, log], { encoding: 'utf8' });
  assert.equal(checked.status, 0, checked.stdout + checked.stderr);
  const sarif = JSON.parse(spawnSync('cat', [log]).stdout);
  const run = sarif.runs[0];
  assert.deepEqual(run.results.map((r) => [r.ruleId, r.message.text, r.locations[0].physicalLocation.region.startLine]),
    warnings.map((w) => [w.kind, w.message, w.line]));
  for (const r of run.results) assert.equal(run.tool.driver.rules[r.ruleIndex].id, r.ruleId);

  const refused = join(dir, 'CYCLE.TXT');
  writeFileSync(refused, '@CIVILIZE\nA, 1, 1, B, nil, 0, 0 ; A\nB, 1, 1, A, nil, 0, 0 ; B\n@IMPROVE\n@UNITS\n@TERRAIN\n');
  const run2 = spawnSync(CHECK, ['--sarif', '-', 'CYCLE.TXT'], { cwd: dir, encoding: 'utf8' });
  assert.equal(run2.status, 1);
  const [result] = JSON.parse(run2.stdout).runs[0].results;
  assert.equal(result.ruleId, 'prerequisite-cycle');
  assert.equal(result.level, 'error');
  assert.deepEqual(result.locations[0].physicalLocation, { artifactLocation: { uri: 'CYCLE.TXT' }, region: { startLine: 3 } });
  writeFileSync(join(dir, 'refused.sarif'), run2.stdout);
  assert.equal(spawnSync('python3', [validator, join(dir, 'refused.sarif')]).status, 0);
});
