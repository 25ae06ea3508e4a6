// The tests' client: the real server started as the editor starts it, and
// driven through VS Code's own protocol library; raw bytes for bad input.
import { spawn } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { pathToFileURL } from 'node:url';
import * as rpc from 'vscode-languageserver-protocol/node.js';

// The checker, and before it the emulator that runs it (Wine), if any.
export const CHECK = process.env.LORVANE_CHECK;
export const COMMAND = (process.env.LORVANE_EMULATOR ? [process.env.LORVANE_EMULATOR] : []).concat(
  [CHECK, '--lsp']);
export const SAMPLE = process.env.LORVANE_SAMPLE;
export const WAIT = 20000;

// Every server started, ended after the tests whatever they did.
const children = [];
export function stopAll() {
  for (const child of children) if (child.exitCode === null) child.kill();
}

export function sampleText() {
  return readFileSync(SAMPLE, 'latin1');
}

export function uriOf(path) {
  return pathToFileURL(path).href;
}

// The line (from 0) that begins with the text, and a character in it.
export function lineOf(text, start) {
  const lines = text.split('\n');
  const line = lines.findIndex((l) => l.startsWith(start));
  if (line < 0) throw new Error(`no line begins with ${start}`);
  return line;
}

export function at(text, start, word) {
  const line = lineOf(text, start);
  return { line, character: text.split('\n')[line].indexOf(word) };
}

// A server and a connection to it, initialized; diagnostics kept by URI.
export async function startServer(initializationOptions) {
  const child = spawn(COMMAND[0], COMMAND.slice(1), { stdio: ['pipe', 'pipe', 'inherit'] });
  children.push(child);
  const exited = new Promise((resolve) => child.on('exit', (code) => resolve(code)));
  const connection = rpc.createProtocolConnection(
    new rpc.StreamMessageReader(child.stdout), new rpc.StreamMessageWriter(child.stdin));
  const published = new Map();
  const waiters = [];
  connection.onNotification(rpc.PublishDiagnosticsNotification.type, (params) => {
    published.set(params.uri, params);
    for (const w of waiters.splice(0)) {
      if (!w.check(params)) waiters.push(w);
    }
  });
  connection.listen();
  const init = await connection.sendRequest(rpc.InitializeRequest.type, {
    processId: process.pid, rootUri: null, capabilities: {}, initializationOptions,
  });
  connection.sendNotification(rpc.InitializedNotification.type, {});
  // Resolves with the first diagnostics of the URI that the condition takes.
  function diagnostics(uri, condition) {
    return new Promise((resolve, reject) => {
      const timer = setTimeout(() => reject(new Error(`no diagnostics of ${uri} as expected`)), WAIT);
      const check = (params) => {
        if (params.uri !== uri || !condition(params)) return false;
        clearTimeout(timer);
        resolve(params);
        return true;
      };
      const last = published.get(uri);
      if (!(last && check(last))) waiters.push({ check });
    });
  }
  async function stop() {
    await connection.sendRequest(rpc.ShutdownRequest.type);
    connection.sendNotification(rpc.ExitNotification.type);
    const code = await exited;
    connection.dispose();
    return code;
  }
  return { child, connection, init, diagnostics, stop, exited, published };
}

// Opens the text and waits for its diagnostics of that version.
export async function open(server, uri, text, version = 1) {
  const seen = server.diagnostics(uri, (p) => p.version === version);
  server.connection.sendNotification(rpc.DidOpenTextDocumentNotification.type, {
    textDocument: { uri, languageId: 'vel2rules', version, text },
  });
  return seen;
}

export async function change(server, uri, text, version) {
  const seen = server.diagnostics(uri, (p) => p.version === version);
  server.connection.sendNotification(rpc.DidChangeTextDocumentNotification.type, {
    textDocument: { uri, version }, contentChanges: [{ text }],
  });
  return seen;
}

// The text with the workspace edit's changes of the URI applied.
export function applyEdit(text, edit, uri) {
  const lines = text.split('\n');
  const edits = [...edit.changes[uri]].sort((a, b) =>
    b.range.start.line - a.range.start.line || b.range.start.character - a.range.start.character);
  for (const e of edits) {
    const { start, end } = e.range;
    if (start.line !== end.line) throw new Error('an edit across lines');
    const l = lines[start.line];
    lines[start.line] = l.slice(0, start.character) + e.newText + l.slice(end.character);
  }
  return lines.join('\n');
}

// Frames a body as the protocol does.
export function frame(body, header) {
  const bytes = Buffer.from(typeof body === 'string' ? body : JSON.stringify(body));
  return Buffer.concat([Buffer.from(header ?? `Content-Length: ${bytes.length}\r\n\r\n`), bytes]);
}

// The server fed raw bytes, then its input closed: the messages it wrote
// (parsed from their own framing) and its exit code.
export function raw(chunks) {
  return new Promise((resolve, reject) => {
    const child = spawn(COMMAND[0], COMMAND.slice(1), { stdio: ['pipe', 'pipe', 'inherit'] });
    children.push(child);
    const out = [];
    child.stdout.on('data', (d) => out.push(d));
    const timer = setTimeout(() => {
      child.kill();
      reject(new Error('the server did not end'));
    }, WAIT);
    child.on('exit', (code) => {
      clearTimeout(timer);
      // The output may still be in the pipe.
      child.stdout.on('end', () => resolve({ code, messages: parseFrames(Buffer.concat(out)) }));
      if (child.stdout.readableEnded) resolve({ code, messages: parseFrames(Buffer.concat(out)) });
    });
    child.stdin.on('error', () => {});
    (async () => {
      for (const chunk of chunks) {
        if (!child.stdin.write(chunk)) await new Promise((r) => child.stdin.once('drain', r));
      }
      child.stdin.end();
    })();
  });
}

export function parseFrames(bytes) {
  const messages = [];
  let at = 0;
  while (at < bytes.length) {
    const end = bytes.indexOf('\r\n\r\n', at);
    const header = bytes.subarray(at, end).toString();
    const length = Number(/Content-Length: (\d+)/.exec(header)[1]);
    messages.push(JSON.parse(bytes.subarray(end + 4, end + 4 + length).toString()));
    at = end + 4 + length;
  }
  return messages;
}

export const INITIALIZE = { jsonrpc: '2.0', id: 1, method: 'initialize', params: { capabilities: {} } };
export const SHUTDOWN = [{ jsonrpc: '2.0', id: 99, method: 'shutdown' }, { jsonrpc: '2.0', method: 'exit' }];
