# A timed or scheduled message with player-count conditions goes out only if they hold at its turn.

== timed, "Min_Players_Online": 2, one player online: not sent
-- config.json
{"TimedMessages": {"Enabled": true, "Interval": 0, "Messages": [{"MessageToSend": "m", "MessageType": "Server", "Min_Players_Online": 2}]}}
-- scenario
join 1 A
wait 1
-- seen

== scheduled, "Min_Players_Online": 2, one player online: not sent
-- config.json
{"ScheduledMessages": {"Enabled": true, "Messages": [{"MessageToSend": "m", "MessageType": "Server", "Min_Players_Online": 2, "At": ["00:00"]}]}}
-- scenario
join 1 A
wait 1
-- seen

== timed, "Min_Players_Online": 2, two players online: sent
-- config.json
{"TimedMessages": {"Enabled": true, "Interval": 0, "Messages": [{"MessageToSend": "m", "MessageType": "Server", "Min_Players_Online": 2}]}}
-- scenario
join 1 A
join 2 B
wait 1
-- seen
1 1: server [0 0 0 1] m
1 2: server [0 0 0 1] m

== scheduled, "Min_Players_Online": 2, two players online: sent
-- config.json
{"ScheduledMessages": {"Enabled": true, "Messages": [{"MessageToSend": "m", "MessageType": "Server", "Min_Players_Online": 2, "At": ["00:00"]}]}}
-- scenario
join 1 A
join 2 B
wait 1
-- seen
1 1: server [0 0 0 1] m
1 2: server [0 0 0 1] m

== timed, "Max_Players_Online": 1, two players online: not sent
-- config.json
{"TimedMessages": {"Enabled": true, "Interval": 0, "Messages": [{"MessageToSend": "m", "MessageType": "Server", "Max_Players_Online": 1}]}}
-- scenario
join 1 A
join 2 B
wait 1
-- seen

== scheduled, "Max_Players_Online": 1, two players online: not sent
-- config.json
{"ScheduledMessages": {"Enabled": true, "Messages": [{"MessageToSend": "m", "MessageType": "Server", "Max_Players_Online": 1, "At": ["00:00"]}]}}
-- scenario
join 1 A
join 2 B
wait 1
-- seen

== timed, "Max_Players_Online": 1, two players, one gone from the world: sent
-- config.json
{"TimedMessages": {"Enabled": true, "Interval": 0, "Messages": [{"MessageToSend": "m", "MessageType": "Server", "Max_Players_Online": 1}]}}
-- scenario
# Only players still in the world count.
join 1 A
join 2 B
stale 2
wait 1
-- seen
1 1: server [0 0 0 1] m

== scheduled, "Max_Players_Online": 1, two players, one gone from the world: sent
-- config.json
{"ScheduledMessages": {"Enabled": true, "Messages": [{"MessageToSend": "m", "MessageType": "Server", "Max_Players_Online": 1, "At": ["00:00"]}]}}
-- scenario
# Only players still in the world count.
join 1 A
join 2 B
stale 2
wait 1
-- seen
1 1: server [0 0 0 1] m

== timed, "Min_Players_Online": 1, "Max_Players_Online": 1, one player online: sent
-- config.json
{"TimedMessages": {"Enabled": true, "Interval": 0, "Messages": [{"MessageToSend": "m", "MessageType": "Server", "Min_Players_Online": 1, "Max_Players_Online": 1}]}}
-- scenario
join 1 A
wait 1
-- seen
1 1: server [0 0 0 1] m

== scheduled, "Min_Players_Online": 1, "Max_Players_Online": 1, one player online: sent
-- config.json
{"ScheduledMessages": {"Enabled": true, "Messages": [{"MessageToSend": "m", "MessageType": "Server", "Min_Players_Online": 1, "Max_Players_Online": 1, "At": ["00:00"]}]}}
-- scenario
join 1 A
wait 1
-- seen
1 1: server [0 0 0 1] m

== timed, "Min_Players_Online": 3, "Max_Players_Online": 1, two players online: not sent
-- config.json
{"TimedMessages": {"Enabled": true, "Interval": 0, "Messages": [{"MessageToSend": "m", "MessageType": "Server", "Min_Players_Online": 3, "Max_Players_Online": 1}]}}
-- scenario
join 1 A
join 2 B
wait 1
-- seen

== scheduled, "Min_Players_Online": 3, "Max_Players_Online": 1, two players online: not sent
-- config.json
{"ScheduledMessages": {"Enabled": true, "Messages": [{"MessageToSend": "m", "MessageType": "Server", "Min_Players_Online": 3, "Max_Players_Online": 1, "At": ["00:00"]}]}}
-- scenario
join 1 A
join 2 B
wait 1
-- seen

== timed, "Min_Players_Online": "2", two players online: not sent
-- config.json
{"TimedMessages": {"Enabled": true, "Interval": 0, "Messages": [{"MessageToSend": "m", "MessageType": "Server", "Min_Players_Online": "2"}]}}
-- scenario
# A count of the wrong type skips the message silently.
join 1 A
join 2 B
wait 1
-- seen

== scheduled, "Min_Players_Online": "2", two players online: not sent
-- config.json
{"ScheduledMessages": {"Enabled": true, "Messages": [{"MessageToSend": "m", "MessageType": "Server", "Min_Players_Online": "2", "At": ["00:00"]}]}}
-- scenario
# A count of the wrong type skips the message silently.
join 1 A
join 2 B
wait 1
-- seen
