# A timed message that cannot be read or made is skipped without a word.

== [{"MessageToSend": "m", "MessageType": "Notification", "DisplayTime": "10"}]
-- config.json
{"TimedMessages": {"Enabled": true, "Interval": 0, "Messages": [{"MessageToSend": "m", "MessageType": "Notification", "DisplayTime": "10"}]}}
-- scenario
join 1 Alice
wait 3
-- seen

== [{"MessageToSend": "{0}", "MessageType": "Server"}]
-- config.json
{"TimedMessages": {"Enabled": true, "Interval": 0, "Messages": [{"MessageToSend": "{0}", "MessageType": "Server"}]}}
-- scenario
join 1 Alice
wait 3
-- seen

== [{"MessageToSend": 1}]
-- config.json
{"TimedMessages": {"Enabled": true, "Interval": 0, "Messages": [{"MessageToSend": 1}]}}
-- scenario
join 1 Alice
wait 3
-- seen

== ["just text"]
-- config.json
{"TimedMessages": {"Enabled": true, "Interval": 0, "Messages": ["just text"]}}
-- scenario
join 1 Alice
wait 3
-- seen

== []
-- config.json
{"TimedMessages": {"Enabled": true, "Interval": 0, "Messages": []}}
-- scenario
join 1 Alice
wait 3
-- seen

== null
-- config.json
{"TimedMessages": {"Enabled": true, "Interval": 0, "Messages": null}}
-- scenario
join 1 Alice
wait 3
-- seen

== {"a": {"MessageToSend": "m"}, "b": {"MessageToSend": "m"}}
-- config.json
{"TimedMessages": {"Enabled": true, "Interval": 0, "Messages": {"a": {"MessageToSend": "m"}, "b": {"MessageToSend": "m"}}}}
-- scenario
join 1 Alice
wait 3
-- seen

== [{"MessageToSend": "m", "Only_Send_To_Permission_Groups": "VIP"}]
-- config.json
{"TimedMessages": {"Enabled": true, "Interval": 0, "Messages": [{"MessageToSend": "m", "Only_Send_To_Permission_Groups": "VIP"}]}}
-- scenario
join 1 Alice
wait 3
-- seen

== [{"MessageToSend": "m", "MessageColour": {"R": "red"}}]
-- config.json
{"TimedMessages": {"Enabled": true, "Interval": 0, "Messages": [{"MessageToSend": "m", "MessageColour": {"R": "red"}}]}}
-- scenario
join 1 Alice
wait 3
-- seen

== [{"MessageToSend": "m", "Sender": 3}]
-- config.json
{"TimedMessages": {"Enabled": true, "Interval": 0, "Messages": [{"MessageToSend": "m", "Sender": 3}]}}
-- scenario
join 1 Alice
wait 3
-- seen
