# Broken scheduled messages are skipped silently and the rest still go out; a broken section sends nothing.

== one fine among broken ones
-- config.json
{"ScheduledMessages": {"Enabled": true, "Messages": [
  {"MessageToSend": "{0}", "MessageType": "Server", "At": ["00:01"]},
  {"MessageToSend": "bad time", "MessageType": "Server", "At": ["00:01", "25:61"]},
  {"MessageToSend": "bad day", "MessageType": "Server", "At": ["00:01"], "Days": ["Thu "]},
  {"MessageToSend": "not a list", "MessageType": "Server", "At": "00:01"},
  {"MessageToSend": "no time", "MessageType": "Server"},
  {"MessageToSend": "m", "MessageType": "Notification", "At": ["00:01"], "DisplayTime": "x"},
  "text",
  {"MessageToSend": "fine", "MessageType": "Server", "At": ["00:01"]}]}}
-- scenario
join 1 A
wait 70
-- seen
60 1: server [0 0 0 1] fine

== {"ScheduledMessages": {"Enabled": "yes", "Messages": []}}
-- config.json
{"ScheduledMessages": {"Enabled": "yes", "Messages": []}}
-- scenario
join 1 A
wait 70
-- seen

== {"ScheduledMessages": []}
-- config.json
{"ScheduledMessages": []}
-- scenario
join 1 A
wait 70
-- seen

== {"ScheduledMessages": {"Enabled": true}}
-- config.json
{"ScheduledMessages": {"Enabled": true}}
-- scenario
join 1 A
wait 70
-- seen

== {"ScheduledMessages": {"Enabled": true, "Messages": {"At": ["00:01"]}}}
-- config.json
{"ScheduledMessages": {"Enabled": true, "Messages": {"At": ["00:01"]}}}
-- scenario
join 1 A
wait 70
-- seen

== {"ScheduledMessages": {"Enabled": false, "Messages": [{"MessageType": "Server", "At": ["00:01"]}]}}
-- config.json
{"ScheduledMessages": {"Enabled": false, "Messages": [{"MessageType": "Server", "At": ["00:01"]}]}}
-- scenario
join 1 A
wait 70
-- seen
