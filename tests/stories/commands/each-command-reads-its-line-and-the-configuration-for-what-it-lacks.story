# Each command reads its line, and the "Heraldix" section of the configuration only for what the line lacks:
# colour tokens and configured channels keep their low byte, and a channel left out is zero.

-- shows server chat notification say load
-- config.json
{}
-- scenario
join 1 Alice

== colour tokens keep their low byte
-- scenario
join 5 Eve
rcon hx.sendserver 5 "Hi" 300 -1 12.9
-- seen
0 5: server [44 255 12] Hi

== two numbers: configured
-- config.json
{"Heraldix": {"ServerMessageColor": {"R": 300, "G": -1, "B": 2.9}}}
-- scenario
# Token n-3 is the message's last word with its closing quote.
rcon hx.sendserver 0 "Hello there" 0 255
-- seen
0 1: server [44 255 2] Hello there

== id only
-- scenario
join 17 Sam
# Two tokens: no sender on the line, so Heraldix, and the configured colour.
rcon hx.sendchat 17"x"
-- seen
0 17: chat Heraldix: <RichColor Color="0, 0, 0, 255">x</>

== inner numbers untested
-- scenario
# Only the first and the last of the five numbers are tested before they are read.
texture i
rcon hx.sendnotification 0 "M" 4 10abc 1 2 3 i
-- seen
0 load i
0 1: notification [1 2 3] scale 4 time 10 icon i M

== time without digits
-- shows notification rcon
-- scenario
rcon hx.sendnotification 0 "M" 4 x 1 2 3 i
-- seen
0 rcon id 1 type 0: Heraldix: Error trying to send the message


== fewer than six tokens carry no numbers
-- config.json
{"Heraldix": {"NotificationDisplayScale": 6, "NotificationDisplayTime": true}}
-- scenario
# No message and the last token numeric: an empty notification, no icon asked for.
join 2 Bob
rcon hx.sendnotification 2 3 4 5
-- seen
0 2: notification [0 0 0] scale 6 time 1 

== any mode, unchecked
-- scenario
rcon hx.chatasplayer 1 -1 "x"
-- seen
0 say from 1 mode -1: x
