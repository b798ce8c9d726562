# Over RCON an answer is a response value (type 0) with the request's id; nobody is answered in the chat area.

-- shows server rcon

== each command's answer, worked and failed
-- config.json
{
  "Heraldix": {"ServerMessageColor": {"R": 0, "G": 0, "B": 255}, "ClientChatColour": {"R": 255, "G": 0, "B": 255},
               "NotificationColor": {"R": 0, "G": 255, "B": 255}, "NotificationDisplayScale": 3, "NotificationDisplayTime": 12},
  "CustomCommands": {"/rules": {"Message": "Be nice", "Type": "Server", "MessageColor": [255, 255, 255]}}}
-- scenario
join 1 Alice
rcon hx.sendserver 0 "Hello" 255 0 0
rcon hx.sendserver 99 "Hello"
rcon hx.reload
-- seen
0 1: server [255 0 0] Hello
0 rcon id 1 type 0: Heraldix: Successfully sent message to everyone
0 rcon id 2 type 0: Heraldix: Error trying to send the message
0 rcon id 3 type 0: Heraldix: Reloaded config
