# Timed and scheduled messages skip a player who turned automatic messages off, until they turn them on;
# a choice read back after a restart counts at once. Admin sends and command replies still reach them.
-- shows server
-- config.json
{"Players": {"Enabled": true}, "CustomCommands": {"/rules": {"Message": "Be nice", "Type": "Server"}},
 "TimedMessages": {"Enabled": true, "Interval": 20, "Messages": [{"MessageToSend": "Vote for us", "MessageType": "Server"}]},
 "ScheduledMessages": {"Enabled": true, "Messages": [{"MessageToSend": "Midday", "MessageType": "Server",
                                                      "At": ["00:01"]}]}}
-- scenario
join 1 Alice
join 2 Bob
chat 2 /adverts off

== the rotation and the schedule pass a player who opted out by, and reach them again once they opt in
-- scenario
wait 1
wait 10
chat 2 /rules
rcon hx.sendserver 0 "Restart soon"
wait 50
chat 2 /adverts on
wait 20
-- seen
1 1: server [0 0 0] Vote for us
11 2: server [0 0 0] Be nice
11 1: server [0 0 0] Restart soon
11 2: server [0 0 0] Restart soon
21 1: server [0 0 0] Vote for us
41 1: server [0 0 0] Vote for us
60 1: server [0 0 0] Midday
61 1: server [0 0 0] Vote for us
81 1: server [0 0 0] Vote for us
81 2: server [0 0 0] Vote for us

== a choice read back after a restart counts from the first message on
-- scenario
unload
load
wait 1
-- seen
1 1: server [0 0 0] Vote for us

== messages on their own clocks pass them by; join lines and countdowns still reach them
-- config.json
{"Players": {"Enabled": true}, "TimedMessages": {"Enabled": true, "Interval": 1000, "Start_Delay": 1000,
   "Messages": [{"MessageToSend": "own", "MessageType": "Server", "Interval": 5}]},
 "JoinLeaveMessages": {"Enabled": true, "Join": {"MessageToSend": "{Player} joined", "MessageType": "Server"}}}
-- scenario
join 3 Carol
rcon hx.countdown 60 "Restart in {TimeLeft}"
wait 6
-- seen
0 1: server [0 0 0] Bob joined
0 1: server [0 0 0] Carol joined
0 2: server [0 0 0] Carol joined
0 1: server [255 255 255] Restart in 1 minute
0 2: server [255 255 255] Restart in 1 minute
0 3: server [255 255 255] Restart in 1 minute
6 1: server [0 0 0] own
6 3: server [0 0 0] own
