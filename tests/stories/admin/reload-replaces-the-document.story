# hx.reload replaces the document in force and the chat commands it registered. Bob (2) then asks "/rules" and
# "/help" and gets a server message in the configured colour: what he sees tells the configuration in force.

-- shows server chat rcon answer log register
-- config.json
{"Heraldix": {"ServerMessageColor": {"B": 255}}, "CustomCommands": {"/rules": {"Message": "Be nice", "Type": "Server", "MessageColor": [255, 255, 255]}}}
-- scenario
join 1 Alice
join 2 Bob

== from an admin
-- scenario
config-text {"Heraldix": {"ServerMessageColor": {"R": 255}}, "CustomCommands": {"/help": {"Message": "Ask an admin", "Type": "Server"}}}
admin hx.reload with ignored words
chat 2 /rules
chat 2 /help
admin hx.sendserver 2 "probe"
-- seen
0 +/rules
0 -/rules
0 +/help
0 log info: Reloaded config: 1 custom commands, 0 timed messages
0 answer: Heraldix: Reloaded config
0 2: server [0 0 0] Ask an admin
0 2: server [255 0 0] probe
0 answer: Heraldix: Successfully sent message to player
0 -/help

== counting what it brought
-- shows rcon log
-- scenario
config-text {"CustomCommands": {"/a": {"Message": "A"}, "/b": {"Message": "B"}, "/skipped": {"Message": ""}}, "TimedMessages": {"Messages": [{"MessageToSend": "1"}, {"MessageToSend": "2"}, {}]}}
rcon hx.reload
-- seen
0 log info: Reloaded config: 2 custom commands, 3 timed messages
0 rcon id 1 type 0: Heraldix: Reloaded config

== a reload after a failed one reads the mended file
-- shows server rcon log
-- scenario
config-rm
rcon hx.reload
config-text {"Heraldix": {"ServerMessageColor": {"R": 255}}, "CustomCommands": {"/help": {"Message": "Ask an admin", "Type": "Server"}}}
rcon hx.reload
chat 2 /rules
chat 2 /help
-- seen
0 log error: Failed to reload config: Can't open config.json: <server-dir>/TarrowApi/Plugins/Heraldix/config.json: No such file or directory
0 rcon id 1 type 0: Heraldix: Failed to reload config
0 log info: Reloaded config: 1 custom commands, 0 timed messages
0 rcon id 2 type 0: Heraldix: Reloaded config
0 2: server [0 0 0] Ask an admin
