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
# empty message
admin hx.sendserver 2 ""
# an id without digits
admin hx.sendserver abc "x"
# a channel beyond 32 bits
admin hx.sendserver 0 "x" 2147483648 0 0
# a lone sign
admin hx.sendserver 0 "x" 0 - 0
# not a format text
admin hx.sendserver 0 "a {brace}"
-- seen
0 answer: Heraldix: Error trying to send the message
0 answer: Heraldix: Error trying to send the message
0 answer: Heraldix: Error trying to send the message
0 answer: Heraldix: Error trying to send the message
0 answer: Heraldix: Error trying to send the message
0 answer: Heraldix: Error trying to send the message
0 answer: Heraldix: Error trying to send the message

== sendchat
-- scenario
admin hx.sendchat 99 Admin "nobody"
admin hx.sendchat 0 Admin
admin hx.sendchat
admin hx.sendchat x Admin "x"
admin hx.sendchat 0 Admin "x" 1 2 99999999999
admin hx.sendchat 0 Admin "{0}"
-- seen
0 answer: Heraldix: Error trying to send the message
0 answer: Heraldix: Error trying to send the message
0 answer: Heraldix: Error trying to send the message
0 answer: Heraldix: Error trying to send the message
0 answer: Heraldix: Error trying to send the message
0 answer: Heraldix: Error trying to send the message

== sendnotification
-- scenario
admin hx.sendnotification 99 "nobody"
admin hx.sendnotification 0 "x" 2 ten 1 1 1 icon
admin hx.sendnotification 0 "x" 2147483648 1 1 1 1 icon
admin hx.sendnotification -x "x"
admin hx.sendnotification 0 "{"
-- seen
0 load "nobody"
0 answer: Heraldix: Error trying to send the message
0 answer: Heraldix: Error trying to send the message
0 answer: Heraldix: Error trying to send the message
0 answer: Heraldix: Error trying to send the message
0 load "{"
0 answer: Heraldix: Error trying to send the message

== chatasplayer
-- scenario
leave 2
# left
admin hx.chatasplayer 2 0 "gone"
# never here
admin hx.chatasplayer 99 0 "never"
# no message
admin hx.chatasplayer 1 0
# empty message
admin hx.chatasplayer 1 0 ""
# no send mode
admin hx.chatasplayer 1
admin hx.chatasplayer
admin hx.chatasplayer x 0 "m"
admin hx.chatasplayer 1 mode "m"
admin hx.chatasplayer 1 2147483648 "m"
-- seen
0 answer: HX: There was an error, (player offline?)
0 answer: HX: There was an error, (player offline?)
0 answer: HX: There was an error, (player offline?)
0 answer: HX: There was an error, (player offline?)
0 answer: HX: There was an error, (player offline?)
0 answer: HX: There was an error, (player offline?)
0 answer: HX: There was an error, (player offline?)
0 answer: HX: There was an error, (player offline?)
0 answer: HX: There was an error, (player offline?)
