// One round through the Windows checker under Wine: open, change, hover,
// shutdown, the messages as the native server gives them.
import assert from 'node:assert/strict';
import { after, test } from 'node:test';
import * as rpc from 'vscode-languageserver-protocol/node.js';

import { at, change, open, sampleText, startServer, stopAll, uriOf } from './client.mjs';

after(stopAll);

test('open, change, hover and shutdown through lorvane-check.exe --lsp', async () => {
  const uri = uriOf('/work/RULES.TXT');
  const server = await startServer();
  const sample = sampleText();
  assert.deepEqual((await open(server, uri, sample)).diagnostics, []);
  const typo = sample.replace('Bronze Casting,       6,  1, Cop,', 'Bronze Casting,       6,  1, Coq,');
  const [d] = (await change(server, uri, typo, 2)).diagnostics;
  assert.equal(d.code, 'unknown-prerequisite');
  assert.deepEqual(d.range.start, at(typo, 'Bronze Casting', 'Coq'));
  const hover = await server.connection.sendRequest(rpc.HoverRequest.type, {
    textDocument: { uri }, position: at(typo, 'Bronze Casting', 'Cla') });
  assert.match(hover.contents.value, /^Clay Firing \[Cla\]\nepoch 0 \(Ancient\)/);
  assert.equal(await server.stop(), 0);
});
