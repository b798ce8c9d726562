'use strict';
// End to end: `heraldix-sim serve` in real time with the real plug-in, players joined through standard
// input, and administrator commands sent over real TCP connections by three stock RCON clients from npm,
// each used the way its own README shows.
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
const BOB = '76561198000000002';
const NOBODY = '76561198000000099';
// Guards against a hang only: every wait ends as soon as what it waits for happens.
const PATIENCE_MS = 30000;

function configText(rulesText) {
  return JSON.stringify({
    Heraldix: {
      ClientChatColour: { R: 0, G: 200, B: 255 },
      ServerMessageColor: { R: 255, G: 255, B: 0 },
      NotificationColor: { R: 255, G: 255, B: 255 },
      NotificationDisplayScale: 1,
      NotificationDisplayTime: 5,
      WelcomeMessage: { EnableWelcomeMessage: false },
    },
    CustomCommands: {
      '/rules': { Message: rulesText, Type: 'Server', MessageColor: [255, 255, 255] },
    },
  }, null, 2);
}

function makeServerDir() {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'heraldix-e2e-'));
  fs.mkdirSync(path.join(dir, 'TarrowApi', 'Plugins', 'Heraldix'), { recursive: true });
  return dir;
}

function writeConfig(dir, text) {
  fs.writeFileSync(path.join(dir, 'TarrowApi', 'Plugins', 'Heraldix', 'config.json'), text);
}

// The simulator as a child process: JSON events from its standard output, notes from its standard error.
class LiveServer {
  constructor(dir, extraArgs = []) {
    this.events = [];
    this.stderr = '';
    this.waiters = [];
    this.child = spawn(SIM, ['serve', '--json', '--server-dir', dir, ...extraArgs], {
      stdio: ['pipe', 'pipe', 'pipe'],
    });
    this.exited = new Promise((resolve) => {
      this.child.on('exit', (code, signal) => resolve({ code, signal }));
    });
    let pending = '';
    this.child.stdout.setEncoding('utf8');
    this.child.stdout.on('data', (chunk) => {
      pending += chunk;
      let newline;
      while ((newline = pending.indexOf('\n')) >= 0) {
        const line = pending.slice(0, newline);
        pending = pending.slice(newline + 1);
        if (line.trim() === '') continue;
        this.events.push(JSON.parse(line));
      }
      this.wake();
    });
    this.child.stderr.setEncoding('utf8');
    this.child.stderr.on('data', (chunk) => {
      this.stderr += chunk;
      this.wake();
    });
    this.child.on('exit', () => this.wake());
  }

  wake() {
    for (const waiter of [...this.waiters]) waiter();
  }

  // Resolves with the first value `probe` gives that is not undefined; rejects if the server exits first.
  until(probe, what) {
    return new Promise((resolve, reject) => {
      const timer = setTimeout(() => finish(new Error(`gave up waiting for ${what}\nstderr:\n${this.stderr}`)),
        PATIENCE_MS);
      const check = () => {
        const value = probe();
        if (value !== undefined) return finish(null, value);
        if (this.child.exitCode !== null || this.child.signalCode !== null) {
          return finish(new Error(`server ended while waiting for ${what}\nstderr:\n${this.stderr}`));
        }
      };
      const finish = (error, value) => {
        clearTimeout(timer);
        this.waiters = this.waiters.filter((w) => w !== check);
        if (error) reject(error); else resolve(value);
      };
      this.waiters.push(check);
      check();
    });
  }

  async port() {
    return this.until(() => {
      const found = /rcon listening on 127\.0\.0\.1:(\d+)/.exec(this.stderr);
      return found ? Number(found[1]) : undefined;
    }, 'the rcon listening line');
  }

  line(text) {
    this.child.stdin.write(text + '\n');
  }

  // Events of a kind seen after `from` (an index into this.events) that satisfy `match`.
  eventsOf(kind, from, match = () => true) {
    return this.events.slice(from).filter((e) => e.event === kind && match(e));
  }

  async event(kind, from, match, what) {
    return this.until(() => this.eventsOf(kind, from, match)[0], what || `a ${kind} event`);
  }
}

// Each client behind one face: login(port, password) resolves with { command(line), close() }.
//
// What a client cannot do, read from its own code in node_modules:
// - rcon-client 4.2.5 takes the first packet after its login request as the login's answer. The server
//   first sends the empty response value (with the request's id), so a wrong password looks accepted; the
//   refusal (id -1) that follows is dropped, and the client only finds out when its first command is
//   never answered (it times out, and nothing runs).
// - rcon-srcds 2.1.1 decodes each chunk its socket reads as exactly one packet, and gives each command a
//   random id from 1 to 255. One command at a time works, since the server writes every packet on its
//   own; with several in flight, replies that reach it in one read lose all but the first, and two
//   commands may draw the same id. So it is not given several commands at once.
const CLIENTS = [
  {
    name: 'rcon 1.1.0',
    tellsRefusal: true,
    pipelines: true,
    login(port, password) {
      return new Promise((resolve, reject) => {
        const conn = new Rcon('127.0.0.1', port, password, { tcp: true, challenge: false });
        // One id for every request: replies are matched to commands by their order.
        const queue = [];
        const waiting = [];
        conn.on('auth', () => {
          conn.on('response', (text) => {
            const next = waiting.shift();
            if (next) next.resolve(text); else queue.push(text);
          });
          resolve({
            command(line) {
              conn.send(line);
              if (queue.length > 0) return Promise.resolve(queue.shift());
              return new Promise((res, rej) => waiting.push({ resolve: res, reject: rej }));
            },
            close() {
              conn.disconnect();
            },
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
    tellsRefusal: false,
    pipelines: true,
    async login(port, password) {
      const conn = await RconClient.connect({ host: '127.0.0.1', port, password, timeout: 1500, maxPending: 8 });
      conn.on('error', () => {});
      return {
        command: (line) => conn.send(line),
        close: () => conn.end().catch(() => {}),
      };
    },
  },
  {
    name: 'rcon-srcds 2.1.1',
    tellsRefusal: true,
    pipelines: false,
    async login(port, password) {
      const conn = new RconSrcds({ host: '127.0.0.1', port, timeout: 5000 });
      await conn.authenticate(password);
      return {
        command: (line) => conn.execute(line),
        close: () => conn.disconnect().catch(() => {}),
      };
    },
  },
];

// A server of the test's own, on a directory of its own, with Alice and Bob online unless asked otherwise;
// it, its directory and every session opened on it end with the test, so no test depends on another.
async function ownServer(t, { players = true } = {}) {
  const dir = makeServerDir();
  writeConfig(dir, configText('Be nice'));
  const server = new LiveServer(dir, ['--rcon-port', '0', '--rcon-password', PASSWORD]);
  const sessions = [];
  t.after(async () => {
    for (const session of sessions) session.close();
    if (server.child.exitCode === null && server.child.signalCode === null) server.child.kill('SIGKILL');
    await server.exited;
    fs.rmSync(dir, { recursive: true, force: true });
  });
  const port = await server.port();
  if (players) {
    const from = server.events.length;
    server.line(`join ${ALICE} Alice`);
    server.line(`join ${BOB} Bob`);
    server.line('texture /Game/Icons/Bell.Bell');
    // A plain chat line reaches every player: once it is seen, both joins have been played.
    server.line(`chat ${BOB} ready`);
    for (const id of [ALICE, BOB]) {
      await server.event('chat', from, (e) => e.to === id && e.text === 'ready' && e.sender === 'Bob', `the chat line at ${id}`);
    }
  }
  return {
    dir,
    server,
    port,
    async login(client, password = PASSWORD) {
      const session = await client.login(port, password);
      let open = true;
      const close = () => {
        if (open) session.close();
        open = false;
      };
      sessions.push({ close });
      return { command: session.command, close };
    },
  };
}

test('serve prints the port it listens on and players join through standard input', async (t) => {
  const { port } = await ownServer(t);
  assert.ok(port > 0 && port < 65536);
});

for (const client of CLIENTS) {
  test(`${client.name}: a wrong password is refused`, async (t) => {
    const { server, login } = await ownServer(t, { players: false });
    if (client.tellsRefusal) {
      await assert.rejects(login(client, 'not-the-password'), /Authentication failed|Unable to authenticate/);
      return;
    }
    // It cannot tell at login (see above); the refusal shows when its first command goes unanswered.
    const session = await login(client, 'not-the-password');
    const from = server.events.length;
    await assert.rejects(session.command('hx.sendserver 0 "should never arrive"'), /Timeout/);
    assert.deepEqual(server.eventsOf('server', from), []);
    assert.match(server.stderr, /rcon: failed login from 127\.0\.0\.1:\d+/);
  });

  test(`${client.name}: logs in, and an unknown command is named in the reply`, async (t) => {
    const { login } = await ownServer(t, { players: false });
    const session = await login(client);
    assert.equal(await session.command('hx.nosuch 1 2'), 'Unknown command: hx.nosuch');
  });

  test(`${client.name}: hx.sendserver reaches everyone, or one player, and is answered`, async (t) => {
    const { server, login } = await ownServer(t);
    const session = await login(client);
    const from = server.events.length;
    assert.equal(await session.command('hx.sendserver 0 "Hello everyone" 255 0 0'),
      'Heraldix: Successfully sent message to everyone');
    for (const id of [ALICE, BOB]) {
      const shown = await server.event('server', from, (e) => e.to === id && e.text === 'Hello everyone');
      assert.deepEqual(shown.color, [1, 0, 0, 1]);
    }
    assert.equal(await session.command(`hx.sendserver ${ALICE} "Just you"`), 'Heraldix: Successfully sent message to player');
    await server.event('server', from, (e) => e.to === ALICE && e.text === 'Just you');
    assert.equal(await session.command(`hx.sendserver ${NOBODY} "Anyone?"`), 'Heraldix: Error trying to send the message');
    // Standard output is in order: once the last reply's event is in, every delivery before it is too.
    await server.event('rcon', from, (e) => e.text === 'Heraldix: Error trying to send the message');
    assert.deepEqual(server.eventsOf('server', from, (e) => e.text === 'Anyone?' || (e.to === BOB && e.text === 'Just you')), []);
  });

  test(`${client.name}: hx.sendchat delivers a chat line with the sender given`, async (t) => {
    const { server, login } = await ownServer(t);
    const session = await login(client);
    const from = server.events.length;
    assert.equal(await session.command(`hx.sendchat ${BOB} Admin "Hi Bob" 0 255 0`),
      'Heraldix: Successfully sent message to player');
    const chat = await server.event('chat', from, (e) => e.to === BOB && e.text.includes('Hi Bob'));
    assert.equal(chat.sender, 'Admin');
    await server.event('rcon', from, (e) => e.text === 'Heraldix: Successfully sent message to player');
    assert.deepEqual(server.eventsOf('chat', from, (e) => e.to === ALICE), []);
  });

  test(`${client.name}: hx.sendnotification shows a notification with scale, time and icon`, async (t) => {
    const { server, login } = await ownServer(t);
    const session = await login(client);
    const from = server.events.length;
    assert.equal(await session.command('hx.sendnotification 0 "Heads up" 2 10 255 255 0 /Game/Icons/Bell.Bell'),
      'Heraldix: Successfully sent message to everyone');
    for (const id of [ALICE, BOB]) {
      const note = await server.event('notification', from, (e) => e.to === id && e.text === 'Heads up');
      assert.equal(note.scale, 2);
      assert.equal(note.time, 10);
      assert.equal(note.icon, '/Game/Icons/Bell.Bell');
    }
  });

  test(`${client.name}: hx.chatasplayer makes an online player say the line; an absent player is an error`, async (t) => {
    const { server, login } = await ownServer(t);
    const session = await login(client);
    const from = server.events.length;
    assert.equal(await session.command(`hx.chatasplayer ${ALICE} 0 "hello from alice"`), 'HX: Successfully chatted as player');
    const said = await server.event('say', from, (e) => e.from === ALICE);
    assert.equal(said.text, 'hello from alice');
    assert.equal(said.mode, 0);
    await server.event('chat', from, (e) => e.to === BOB && e.text === 'hello from alice' && e.sender === 'Alice');
    assert.equal(await session.command(`hx.chatasplayer ${NOBODY} 0 "ghost"`), 'HX: There was an error, (player offline?)');
  });

  test(`${client.name}: hx.reload applies a changed file and reports a broken one`, async (t) => {
    const { dir, server, login } = await ownServer(t);
    const session = await login(client);
    writeConfig(dir, configText('Be very nice'));
    assert.equal(await session.command('hx.reload'), 'Heraldix: Reloaded config');
    const from = server.events.length;
    server.line(`chat ${ALICE} /rules`);
    await server.event('server', from, (e) => e.to === ALICE && e.text === 'Be very nice', 'the reloaded /rules reply');

    writeConfig(dir, '{ "Heraldix": ');
    assert.equal(await session.command('hx.reload'), 'Heraldix: Failed to reload config');
    const after = server.events.length;
    server.line(`chat ${BOB} /rules`);
    await server.event('server', after, (e) => e.to === BOB && e.text === 'Be very nice', 'the kept /rules reply');
    // The server log says why, as an admin would read it.
    await server.event('log', from, (e) => e.level === 'error' &&
      e.text === 'Failed to reload config: config.json line 1, column 15: syntax error while parsing value - ' +
        "unexpected end of input; expected '[', '{', or a literal");
  });

  if (client.pipelines) {
    test(`${client.name}: several commands in flight are answered in their order`, async (t) => {
      const { login } = await ownServer(t);
      const session = await login(client);
      const order = [];
      const lines = ['hx.sendserver 0 "one"', `hx.sendserver ${NOBODY} "two"`, 'hx.nosuch', `hx.chatasplayer ${ALICE} 0 "three"`];
      const replies = await Promise.all(lines.map((line, i) => session.command(line).then((text) => {
        order.push(i);
        return text;
      })));
      assert.deepEqual(replies, [
        'Heraldix: Successfully sent message to everyone',
        'Heraldix: Error trying to send the message',
        'Unknown command: hx.nosuch',
        'HX: Successfully chatted as player',
      ]);
      assert.deepEqual(order, [0, 1, 2, 3]);
    });
  }
}

test('every reply is also an rcon event, and a quit line ends the server cleanly', async (t) => {
  const { server, login } = await ownServer(t);
  const sessions = [];
  for (const client of CLIENTS) sessions.push(await login(client));
  const [first, second, third] = sessions;
  assert.equal(await first.command('hx.reload'), 'Heraldix: Reloaded config');
  assert.equal(await second.command('hx.nosuch'), 'Unknown command: hx.nosuch');
  assert.equal(await third.command(`hx.sendserver ${BOB} "hi"`), 'Heraldix: Successfully sent message to player');
  // Events on standard output and replies on the socket travel apart, so the events are waited for.
  for (const text of ['Heraldix: Reloaded config', 'Unknown command: hx.nosuch', 'Heraldix: Successfully sent message to player']) {
    await server.event('rcon', 0, (e) => e.text === text, `the rcon event "${text}"`);
  }
  for (const session of sessions) session.close();
  server.line('quit');
  const { code } = await server.exited;
  assert.equal(code, 0, server.stderr);
  assert.deepEqual(server.eventsOf('fault', 0), []);
  // Every connection is named by address and port when it opens and when it closes.
  const opened = [...server.stderr.matchAll(/rcon: connection from (127\.0\.0\.1:\d+)/g)].map((m) => m[1]);
  assert.equal(opened.length, CLIENTS.length);
  for (const who of opened) assert.match(server.stderr, new RegExp(`rcon: closed connection from ${who.replace(/\./g, '\\.')}: `));
});

test('end of input, SIGTERM and SIGINT end the server cleanly too', async () => {
  const rcon = CLIENTS[0];
  for (const ending of ['eof', 'SIGTERM', 'SIGINT']) {
    const other = makeServerDir();
    writeConfig(other, configText('x'));
    const live = new LiveServer(other, ['--rcon-port', '0', '--rcon-password', PASSWORD]);
    try {
      const session = await rcon.login(await live.port(), PASSWORD);
      assert.equal(await session.command('hx.reload'), 'Heraldix: Reloaded config');
      session.close();
      if (ending === 'eof') live.child.stdin.end(); else live.child.kill(ending);
      const { code } = await live.exited;
      assert.equal(code, 0, `${ending}: ${live.stderr}`);
      assert.deepEqual(live.eventsOf('fault', 0), []);
    } finally {
      if (live.child.exitCode === null) live.child.kill('SIGKILL');
      fs.rmSync(other, { recursive: true, force: true });
    }
  }
});

test('serve will not open the remote console without a password', async () => {
  const other = makeServerDir();
  writeConfig(other, configText('x'));
  const live = new LiveServer(other, ['--rcon-port', '0']);
  live.child.stdin.end();
  const { code } = await live.exited;
  fs.rmSync(other, { recursive: true, force: true });
  assert.equal(code, 2);
  assert.match(live.stderr, /password/);
});
