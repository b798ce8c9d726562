'use strict';
// End to end: `heraldix-sim serve` in real time with the real plug-in, and three stock RCON clients from
// npm, each used the way its own README shows: they log in, get the plug-in's replies, and (those that
// can) have several commands in flight. What the commands do is the stories' business, and what a wrong
// password gets the remote console's own test's.
//
//   node serve_rcon.test.js PATH/TO/heraldix-sim
//
// Exits 77 (skipped) when the client packages are not installed: run `npm ci` in this folder.

const { test } = require('node:test');
const assert = require('node:assert/strict');
const { spawn } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');

let Rcon;
let RconClient;
let RconSrcds;
try {
  Rcon = require('rcon');
  ({ Rcon: RconClient } = require('rcon-client'));
  RconSrcds = require('rcon-srcds').default;
} catch {
  console.log('skipped: the npm packages "rcon", "rcon-client" and "rcon-srcds" are not installed (npm ci in tests/e2e)');
  process.exit(77);
}

const SIM = process.argv[2];
if (!SIM || !fs.existsSync(SIM)) {
  console.error('usage: node serve_rcon.test.js PATH/TO/heraldix-sim');
  process.exit(2);
}

const PASSWORD = 'e2e-secret';
const ALICE = '76561198000000001';
const NOBODY = '76561198000000099';
const PATIENCE_MS = 30000;  // guards against a hang only: every wait ends when what it waits for happens

// A server of the test's own on a directory of its own, with Alice online. It ends with the test, by
// SIGINT, and must then stop cleanly without a fault, so no test depends on another.
async function ownServer(t) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'heraldix-e2e-'));
  fs.mkdirSync(path.join(dir, 'TarrowApi', 'Plugins', 'Heraldix'), { recursive: true });
  fs.writeFileSync(path.join(dir, 'TarrowApi', 'Plugins', 'Heraldix', 'config.json'), '{}');
  const child = spawn(SIM, ['serve', '--json', '--server-dir', dir, '--rcon-port', '0', '--rcon-password', PASSWORD]);
  const exited = new Promise((resolve) => child.on('exit', (code) => resolve(code)));
  let out = '';
  let err = '';
  let wake = () => {};
  child.stdout.on('data', (chunk) => { out += chunk; wake(); });
  child.stderr.on('data', (chunk) => { err += chunk; wake(); });
  // Resolves with the first value `probe` gives that is not undefined.
  const until = (probe, what) => new Promise((resolve, reject) => {
    const timer = setTimeout(() => reject(new Error(`gave up waiting for ${what}\nstderr:\n${err}`)), PATIENCE_MS);
    wake = () => {
      const value = probe();
      if (value !== undefined) {
        clearTimeout(timer);
        wake = () => {};
        resolve(value);
      }
    };
    wake();
  });
  const sessions = [];
  t.after(async () => {
    for (const close of sessions) await close();
    child.kill('SIGINT');
    assert.equal(await exited, 0, err);
    assert.doesNotMatch(out, /"event":"fault"/);
    fs.rmSync(dir, { recursive: true, force: true });
  });
  const port = Number(await until(() => /rcon listening on 127\.0\.0\.1:(\d+)/.exec(err)?.[1], 'the port'));
  child.stdin.write(`join ${ALICE} Alice\nrcon hx.sendserver ${ALICE} "joined"\n`);
  await until(() => (out.includes('"text":"joined"') ? true : undefined), 'the join');
  return {
    async login(client) {
      const session = await client.login(port, PASSWORD);
      sessions.push(session.close);
      return session;
    },
  };
}

// Each client behind one face: login(port, password) resolves with { command(line), close() }.
//
// What a client cannot do, read from its own code in node_modules:
// - rcon-srcds 2.1.1 decodes each chunk its socket reads as exactly one packet, and gives each command a
//   random id from 1 to 255. One command at a time works, since the server writes every packet on its
//   own: its login, whose two answers it must read apart, is what shows that they go out apart. With
//   several in flight, replies that reach it in one read lose all but the first, and two commands may
//   draw the same id. So it is not given several commands at once.
const CLIENTS = [
  {
    name: 'rcon 1.1.0',
    pipelines: true,
    login(port, password) {
      return new Promise((resolve, reject) => {
        const conn = new Rcon('127.0.0.1', port, password, { tcp: true, challenge: false });
        // One id for every request: replies are matched to commands by their order.
        const waiting = [];
        conn.on('auth', () => {
          conn.on('response', (text) => waiting.shift()?.resolve(text));
          resolve({
            command: (line) => new Promise((res, rej) => { waiting.push({ resolve: res, reject: rej }); conn.send(line); }),
            close: () => conn.disconnect(),
          });
        });
        conn.on('error', (error) => {
          for (const w of waiting.splice(0)) w.reject(error);
          reject(error);
        });
        conn.connect();
      });
    },
  },
  {
    name: 'rcon-client 4.2.5',
    pipelines: true,
    async login(port, password) {
      const conn = await RconClient.connect({ host: '127.0.0.1', port, password, timeout: 1500, maxPending: 8 });
      conn.on('error', () => {});
      return { command: (line) => conn.send(line), close: () => conn.end().catch(() => {}) };
    },
  },
  {
    name: 'rcon-srcds 2.1.1',
    pipelines: false,
    async login(port, password) {
      const conn = new RconSrcds({ host: '127.0.0.1', port, timeout: 5000 });
      await conn.authenticate(password);
      return { command: (line) => conn.execute(line), close: () => conn.disconnect().catch(() => {}) };
    },
  },
];

for (const client of CLIENTS) {
  // Several commands in flight where the client can have them (see above), else one at a time.
  test(`${client.name}: logs in and gets each command's reply, in order`, async (t) => {
    const session = await (await ownServer(t)).login(client);
    const lines = [`hx.sendserver ${ALICE} "Just you"`, `hx.sendserver ${NOBODY} "two"`, 'hx.nosuch 1 2', `hx.chatasplayer ${ALICE} 0 "three"`];
    const order = [];
    const ask = (line, i) => session.command(line).then((text) => { order.push(i); return text; });
    const replies = [];
    if (client.pipelines) replies.push(...await Promise.all(lines.map(ask)));
    else for (const [i, line] of lines.entries()) replies.push(await ask(line, i));
    assert.deepEqual(replies, [
      'Heraldix: Successfully sent message to player',
      'Heraldix: Error trying to send the message',
      'Unknown command: hx.nosuch',
      'HX: Successfully chatted as player',
    ]);
    assert.deepEqual(order, [0, 1, 2, 3]);
  });
}
