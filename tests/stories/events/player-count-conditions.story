# A timed message with player-count conditions goes out only if they hold at its turn; only
# players still in the world count.

-- shows server
-- scenario
join 1 A

== timed, "Min_Players_Online": 2: not with one player online, sent with two
-- config.json
{"TimedMessages": {"Enabled": true, "Interval": 0, "Messages": [{"MessageToSend": "m", "MessageType": "Server", "Min_Players_Online": 2}]}}
-- scenario
wait 1
join 2 B
wait 1
-- seen
2 1: server [0 0 0] m
2 2: server [0 0 0] m

== timed, "Max_Players_Online": 1: sent with one player, not with two, sent again once one is gone from the world
-- config.json
{"TimedMessages": {"Enabled": true, "Interval": 0, "Messages": [{"MessageToSend": "m", "MessageType": "Server", "Max_Players_Online": 1}]}}
-- scenario
wait 1
join 2 B
wait 1
stale 2
wait 1
-- seen
1 1: server [0 0 0] m
3 1: server [0 0 0] m
