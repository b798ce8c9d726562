# An administrator is answered alone: on the console by a server message, green when the command worked and red
# when it did not; over RCON by a response value (type 0) with the request's id, nobody answered in the chat area.

-- shows server chat rcon
-- config.json
{"Heraldix": {"ServerMessageColor": {"R": 0, "G": 0, "B": 255}}}
-- scenario
join 1 Alice
join 2 Bob

== on the console
-- scenario
console 1 hx.sendserver 2 "Hi"
console 1 hx.sendserver 99 "Hi"
console 1 hx.reload
config-rm
console 1 hx.reload
-- seen
0 2: server [0 0 255] Hi
0 1: server [0 255 0] Heraldix: Successfully sent message to player
0 1: server [255 0 0] Heraldix: Error trying to send the message
0 1: server [0 255 0] Heraldix: Reloaded config
0 1: server [255 0 0] Heraldix: Failed to reload config

== over RCON
-- scenario
rcon hx.sendserver 2 "Hello" 255 0 0
rcon hx.sendserver 99 "Hello"
rcon hx.reload
-- seen
0 2: server [255 0 0] Hello
0 rcon id 1 type 0: Heraldix: Successfully sent message to player
0 rcon id 2 type 0: Heraldix: Error trying to send the message
0 rcon id 3 type 0: Heraldix: Reloaded config
