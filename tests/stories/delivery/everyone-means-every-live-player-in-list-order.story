# A message for everyone goes to every player whose controller is still alive, in the order of the world's
# player list; with nobody online it is still sent.

-- shows server chat notification rcon answer

== every live player in list order
-- config.json
{"TimedMessages": {"Enabled": true, "Interval": 3600, "Messages": [{"MessageToSend": "x\ny", "Sender": "Admin", "MessageType": "Chat", "MessageColour": {"R": 255}}]}}
-- scenario
join 1 Alice
join 2 Bob
join 3 Carol
join 4 Dan
# Bob's controller is destroyed but stays in the list; Carol leaves it.
stale 2
leave 3
console 1 hx.sendserver 0 "all" 255 255 0
# The timed chat message goes out now, to everyone.
wait 1
console 1 hx.sendnotification 0 "n" 2 1 255 0 0 0
# Nobody is online any more.
leave 1
leave 4
rcon hx.sendserver 0 "x" 255 0 0
rcon hx.sendchat 0 Admin "x" 255 0 0
rcon hx.sendnotification 0 "x" 5 1 255 0 0 0
-- seen
0 1: server [255 255 0] all
0 4: server [255 255 0] all
0 1: server [0 255 0] Heraldix: Successfully sent message to everyone
1 1: chat Admin: <RichColor Color="1, 0, 0, 1">x</>\n<RichColor Color="1, 0, 0, 1">y</>\n
1 4: chat Admin: <RichColor Color="1, 0, 0, 1">x</>\n<RichColor Color="1, 0, 0, 1">y</>\n
1 1: notification [255 0 0] scale 2 time 1 n
1 4: notification [255 0 0] scale 2 time 1 n
1 1: server [0 255 0] Heraldix: Successfully sent message to everyone
1 rcon id 1 type 0: Heraldix: Successfully sent message to everyone
1 rcon id 2 type 0: Heraldix: Successfully sent message to everyone
1 rcon id 3 type 0: Heraldix: Successfully sent message to everyone
