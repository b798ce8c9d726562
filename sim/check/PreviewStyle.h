// Owns the look of the preview page: each player's screen drawn like a game's chat area.
#pragma once

namespace sim::preview {

inline constexpr const char* PreviewStyle = R"css(
:root { color-scheme: dark; --panel: rgba(8, 10, 14, 0.62); --ink: #e8e6df; --dim: #9aa0a8; }
* { box-sizing: border-box; }
body { margin: 0; padding: 24px; background: #14171c; color: var(--ink);
       font: 15px/1.45 "DejaVu Sans", "Segoe UI", Roboto, sans-serif; }
header h1 { margin: 0 0 4px; font-size: 22px; letter-spacing: 0.02em; }
header p { margin: 0; color: var(--dim); }
.faults { margin: 16px 0; padding: 12px 16px; border-left: 6px solid rgb(220, 40, 40);
          background: rgba(120, 10, 10, 0.35); }
.faults h2 { margin: 0 0 6px; font-size: 16px; }
.players { display: grid; grid-template-columns: repeat(auto-fill, minmax(420px, 1fr)); gap: 20px; margin-top: 20px; }
.player h2 { margin: 0 0 8px; font-size: 17px; }
.player h2 .id, .console h2 { color: var(--dim); font-weight: normal; font-size: 13px; }
.player h2 .language { padding: 0 6px; border: 1px solid var(--dim); border-radius: 4px; font-size: 12px;
                        font-weight: normal; text-transform: uppercase; }
.screen { position: relative; min-height: 220px; padding: 14px; border-radius: 8px; overflow: hidden;
          background: linear-gradient(180deg, #2b3a4a 0%, #46505a 45%, #3d4632 60%, #23291d 100%);
          box-shadow: inset 0 0 60px rgba(0, 0, 0, 0.6); }
.feed { list-style: none; margin: 0; padding: 8px 10px; border-radius: 6px; background: var(--panel); }
.entry { display: flex; gap: 8px; align-items: baseline; padding: 2px 0; text-shadow: 1px 1px 0 #000;
         white-space: pre-wrap; overflow-wrap: anywhere; }
.entry time { flex: none; min-width: 3.2em; color: var(--dim); font-size: 12px; font-variant-numeric: tabular-nums; }
.entry time.server-clock { min-width: 4.8em; }
.entry.chat .sender { flex: none; color: #f3d36b; font-weight: bold; }
.entry.chat .sender::after { content: ":"; }
.entry.chat .sender:empty::after { content: ""; }
.entry.notification { align-items: center; padding: 6px 0; }
.card { display: flex; gap: 10px; align-items: center; min-width: 60%; padding: 0.5em 0.8em;
        border: 2px solid var(--accent); border-left-width: 10px; border-radius: 6px;
        background: rgba(10, 12, 16, 0.85); box-shadow: 0 2px 10px rgba(0, 0, 0, 0.5); }
.card .icon { flex: none; display: grid; place-items: center; width: 2.2em; height: 2.2em; border-radius: 4px;
              background: rgba(255, 255, 255, 0.12); color: var(--ink); font-size: 0.8em; font-weight: bold;
              text-transform: uppercase; }
.card .icon.none { background: repeating-linear-gradient(45deg, rgba(255,255,255,0.06) 0 4px, transparent 4px 8px); }
.card .text { margin: 0; font-weight: bold; }
.card .meta { margin: 2px 0 0; color: var(--dim); font-size: 11px; text-shadow: none; }
.nothing { margin: 0; color: var(--dim); font-style: italic; }
.console { margin-top: 28px; }
.console .feed { background: #0c0e11; font-family: "DejaVu Sans Mono", monospace; font-size: 13px; }
.console .who { flex: none; color: var(--dim); }
.console .fault .who, .console .fault .text { color: rgb(240, 90, 90); }
)css";

}  // namespace sim::preview
