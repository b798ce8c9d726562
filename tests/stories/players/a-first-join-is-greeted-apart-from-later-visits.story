# The first time a player id is ever seen, everyone else gets "First_Join" instead of "Join"; a later visit,
# also after a restart, is a join like any other. With the database unusable nobody is new.
-- shows server
-- config.json
{"Players": {"Enabled": true}, "JoinLeaveMessages": {"Enabled": true,
   "First_Join": {"MessageToSend": "Welcome our new player {Player}!", "MessageType": "Server"},
   "Join": {"MessageToSend": "{Player} is back", "MessageType": "Server"}}}
-- scenario
join 1 Alice
join 2 Bob

== a first join, then later visits
-- scenario
leave 2
join 2 Bob
unload
load
leave 2
join 2 Bob
-- seen
0 1: server [0 0 0] Welcome our new player Bob!
0 1: server [0 0 0] Bob is back
0 1: server [0 0 0] Bob is back

== with the database's folder missing nobody is greeted as new
-- config.json
{"Players": {"Enabled": true, "Database": "gone/players.db"}, "JoinLeaveMessages": {"Enabled": true,
   "First_Join": {"MessageToSend": "Welcome our new player {Player}!", "MessageType": "Server"},
   "Join": {"MessageToSend": "{Player} is back", "MessageType": "Server"}}}
-- seen
0 1: server [0 0 0] Bob is back
