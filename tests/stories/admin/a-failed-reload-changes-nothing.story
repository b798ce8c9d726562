# A failed reload changes nothing and logs why. Each document replaces config.json before an administrator's
# reload: it fails for the reason logged (a file cut short is the fault tests' own), and Bob (2), asking "/rules"
# and "/help" and then getting a server message in the configured colour, still sees the configuration as it was.

-- shows server chat rcon answer log
-- config.json
{"Heraldix": {"ServerMessageColor": {"B": 255}}, "CustomCommands": {"/rules": {"Message": "Be nice", "Type": "Server", "MessageColor": [255, 255, 255]}}}
-- scenario
join 1 Alice
join 2 Bob

== each document in turn, then the players
-- scenario
# Each reason is its read's own: what the read before found wrong must not name a place in the next one.
config-text {"CustomCommands": {"/help": {"Message": "x", "RequiredPermissionGroups": ["vip", 3]}}}
admin hx.reload
config-text {"CustomCommands": {"/help": {"Message": "x", "MessageColor": [1, 2, "3"]}}}
admin hx.reload
config-text {"CustomCommands": {"/caf\u00E9\u20AC\u0039": {"Message": "x", "DisplayTime": "ten"}}}
admin hx.reload
config-text [1]
admin hx.reload
config-text {"a": 1e999}
admin hx.reload
chat 2 /rules
chat 2 /help
admin hx.sendserver 2 "probe"
-- seen
0 log error: Failed to reload config: config.json line 1, column 83: "CustomCommands" > "/help" > "RequiredPermissionGroups"[1]: type must be string, but is number
0 answer: Heraldix: Failed to reload config
0 log error: Failed to reload config: config.json line 1, column 70: "CustomCommands" > "/help" > "MessageColor"[2]: type must be number, but is string
0 answer: Heraldix: Failed to reload config
0 log error: Failed to reload config: config.json line 1, column 79: "CustomCommands" > "/café€9" > "DisplayTime": type must be number, but is string
0 answer: Heraldix: Failed to reload config
0 log error: Failed to reload config: config.json line 1, column 1: the top level: type must be object, but is array
0 answer: Heraldix: Failed to reload config
0 log error: Failed to reload config: number overflow parsing '1e999'
0 answer: Heraldix: Failed to reload config
0 2: server [255 255 255] Be nice
0 2: server [0 0 255] probe
0 answer: Heraldix: Successfully sent message to player

== a file as written
-- config.json
{
  "CustomCommands": {
    "/vote": {
      "Message": "Vote now",
      "DisplayTime": "ten"
    }
  }
}
-- scenario
# A file with line ends is named by the line where the mistyped key stands, at load and at reload.
rcon hx.reload
-- seen
0 log error: Custom chat commands not registered: config.json line 5, column 22: "CustomCommands" > "/vote" > "DisplayTime": type must be number, but is string
0 log error: Failed to reload config: config.json line 5, column 22: "CustomCommands" > "/vote" > "DisplayTime": type must be number, but is string
0 rcon id 1 type 0: Heraldix: Failed to reload config
