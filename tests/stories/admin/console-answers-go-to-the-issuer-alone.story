# An administrator typing on the console is answered alone, by a server message: green when the command
# worked, red when it did not.

-- shows server chat say

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
0 2: server [0 0 255] Hi
0 1: server [0 255 0] Heraldix: Successfully sent message to player
0 1: server [255 0 0] Heraldix: Error trying to send the message
0 1: server [0 255 0] Heraldix: Reloaded config
0 1: server [255 0 0] Heraldix: Failed to reload config
0 say from 2 mode 0: x
0 1: server [0 255 0] HX: Successfully chatted as player
0 1: server [255 0 0] HX: There was an error, (player offline?)
