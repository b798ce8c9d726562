# An administrator typing on the console is answered alone, by a server message: green when the command
# worked, red when it did not.

== each command's answer, worked and failed
-- config.json
{
  "Heraldix": {"ServerMessageColor": {"R": 0, "G": 0, "B": 255}, "ClientChatColour": {"R": 255, "G": 0, "B": 255},
               "NotificationColor": {"R": 0, "G": 255, "B": 255}, "NotificationDisplayScale": 3, "NotificationDisplayTime": 12},
  "CustomCommands": {"/rules": {"Message": "Be nice", "Type": "Server", "MessageColor": [255, 255, 255]}}}
-- scenario
join 1 Alice
join 2 Bob
console 1 hx.sendserver 2 "Hi"
console 1 hx.sendserver 99 "Hi"
console 1 hx.reload
config-rm
console 1 hx.reload
console 1 hx.chatasplayer 2 0 "x"
console 1 hx.chatasplayer 9 0 "x"
-- seen
0 +/rules
0 2: server [0 0 1 1] Hi
0 1: server [0 1 0 1] Heraldix: Successfully sent message to player
0 1: server [1 0 0 1] Heraldix: Error trying to send the message
0 -/rules
0 +/rules
0 log info: Reloaded config: 1 custom commands, 0 timed messages
0 1: server [0 1 0 1] Heraldix: Reloaded config
0 log error: Failed to reload config: Can't open config.json: <server-dir>/TarrowApi/Plugins/Heraldix/config.json: No such file or directory
0 1: server [1 0 0 1] Heraldix: Failed to reload config
0 say from 2 mode 0: x
0 1: chat Bob: x
0 2: chat Bob: x
0 1: server [0 1 0 1] HX: Successfully chatted as player
0 1: server [1 0 0 1] HX: There was an error, (player offline?)
0 -/rules
