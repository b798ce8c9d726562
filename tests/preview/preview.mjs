// The preview page in a real browser: a scenario runs through heraldix-sim preview, headless Chromium
// opens the page, and a screenshot shows each player's messages in their colours.
//
// node preview.mjs HERALDIX_SIM   (exit 0 passed, 1 failed, 77 skipped: no Chromium or no node_modules)
import { spawnSync } from "node:child_process";
import { existsSync, mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { createRequire } from "node:module";

const SKIP = 77;
const CHROMIUM = "/usr/bin/chromium";
const require = createRequire(import.meta.url);
let PNG;
try {
  ({ PNG } = require("pngjs"));
} catch {
  console.log("skipped: node_modules is missing here (npm ci in tests/preview)");
  process.exit(SKIP);
}
if (!existsSync(CHROMIUM)) {
  console.log(`skipped: ${CHROMIUM} is not installed`);
  process.exit(SKIP);
}
const simulator = process.argv[2];
if (!simulator) {
  console.error("usage: node preview.mjs HERALDIX_SIM");
  process.exit(2);
}

const work = mkdtempSync(join(tmpdir(), "heraldix-preview-"));
let passed = 0;
let failed = 0;
function expect(condition, what) {
  if (condition) {
    passed++;
    console.log(`ok   ${what}`);
  } else {
    failed++;
    console.log(`FAIL ${what}`);
  }
}

function chromium(...args) {
  const profile = mkdtempSync(join(work, "profile-"));
  return spawnSync(
    CHROMIUM,
    [
      "--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking", "--disable-component-update",
      "--disable-sync", "--no-first-run", `--user-data-dir=${profile}`, "--hide-scrollbars",
      "--force-device-scale-factor=1", ...args,
    ],
    { encoding: "utf8", timeout: 90_000, maxBuffer: 64 * 1024 * 1024 },
  );
}

try {
  // A server whose replies have colours that are easy to find on screen, and a welcome by placeholder.
  const config = {
    Heraldix: {
      Placeholders: true,
      WelcomeMessage: { EnableWelcomeMessage: true, Message: "Welcome {Player}!", WelcomeMessageColour: { R: 0, G: 255, B: 0 } },
    },
    CustomCommands: {
      "/rules": { Message: "Be nice\nNo griefing", MessageColor: [255, 0, 0], Sender: "Rules" },
      "/info": {
        Message: "Server info", Type: "Notification", MessageColor: [255, 0, 255],
        DisplayTime: 8, DisplayScale: 1.5, Icon_BP: "/Game/Icons/Info.Info",
      },
    },
  };
  mkdirSync(join(work, "server/TarrowApi/Plugins/Heraldix"), { recursive: true });
  writeFileSync(join(work, "server/TarrowApi/Plugins/Heraldix/config.json"), JSON.stringify(config));
  writeFileSync(
    join(work, "shown.scenario"),
    ["texture /Game/Icons/Info.Info", "join 1 Alice", "join 2 Bob", "wait 6", "chat 1 /rules", "chat 2 /info",
     "rcon hx.sendserver 0 \"Restart <soon>\" 255 255 0", "wait 1", ""].join("\n"),
  );
  const page = join(work, "page.html");
  const run = spawnSync(simulator, ["preview", "--server-dir", join(work, "server"), "--out", page,
                                    join(work, "shown.scenario")], { encoding: "utf8" });
  expect(run.status === 0, `heraldix-sim preview exits 0 (${run.status}: ${run.stderr.trim()})`);

  // What the page holds is the preview test's; here, that a browser draws it in its colours.
  const shot = join(work, "shot.png");
  chromium(`--screenshot=${shot}`, "--window-size=1100,900", `file://${page}`);
  expect(existsSync(shot), "Chromium took a screenshot");
  if (existsSync(shot)) {
    const png = PNG.sync.read(readFileSync(shot));
    const count = (r, g, b, tolerance = 40) => {
      let n = 0;
      for (let i = 0; i < png.data.length; i += 4) {
        if (Math.abs(png.data[i] - r) <= tolerance && Math.abs(png.data[i + 1] - g) <= tolerance &&
            Math.abs(png.data[i + 2] - b) <= tolerance) n++;
      }
      return n;
    };
    expect(count(255, 0, 255, 6) >= 200, "the notification card's magenta border is drawn");
    expect(count(255, 0, 0) >= 30, "red chat text is drawn");
    expect(count(0, 255, 0) >= 30, "green welcome text is drawn");
    expect(count(255, 255, 0) >= 30, "the yellow server line is drawn");
  }
} finally {
  rmSync(work, { recursive: true, force: true });
}
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
