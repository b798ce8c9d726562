# The send commands and hx.chatasplayer refuse what they cannot deliver with one answer each, with Alice (1) and
# Bob (2) online; an administrator's commands are played once typed by Alice on the console and once over RCON.

-- shows server chat notification rcon answer say load
-- config.json
{}
-- scenario
join 1 Alice
join 2 Bob

== sendserver
-- scenario
# not online
admin hx.sendserver 99 "nobody"
# no message
admin hx.sendserver 0
-- seen
0 answer: Heraldix: Error trying to send the message
0 answer: Heraldix: Error trying to send the message

== sendchat
-- scenario
admin hx.sendchat 99 Admin "nobody"
admin hx.sendchat 0 Admin
admin hx.sendchat
-- seen
0 answer: Heraldix: Error trying to send the message
0 answer: Heraldix: Error trying to send the message
0 answer: Heraldix: Error trying to send the message

== sendnotification
-- scenario
admin hx.sendnotification 99 "nobody"
admin hx.sendnotification 0 "x" 2147483648 1 1 1 1 icon
-- seen
0 load "nobody"
0 answer: Heraldix: Error trying to send the message
0 answer: Heraldix: Error trying to send the message

== chatasplayer
-- scenario
leave 2
# left
admin hx.chatasplayer 2 0 "gone"
# no message
admin hx.chatasplayer 1 0
# no send mode
admin hx.chatasplayer 1
admin hx.chatasplayer 1 mode "m"
-- seen
0 answer: HX: There was an error, (player offline?)
0 answer: HX: There was an error, (player offline?)
0 answer: HX: There was an error, (player offline?)
0 answer: HX: There was an error, (player offline?)
