# Broken scheduled messages are skipped silently and the rest still go out; a broken section sends nothing.

-- shows server chat notification
-- scenario
join 1 A

== one fine among broken ones
-- config.json
{"ScheduledMessages": {"Enabled": true, "Messages": [
  {"MessageToSend": "bad time", "MessageType": "Server", "At": ["00:01", "25:61"]},
  {"MessageToSend": "bad day", "MessageType": "Server", "At": ["00:01"], "Days": ["Thu "]},
  {"MessageToSend": "not a list", "MessageType": "Server", "At": "00:01"},
  {"MessageToSend": "no time", "MessageType": "Server"},
  "text",
  {"MessageToSend": "fine", "MessageType": "Server", "At": ["00:01"]}]}}
-- scenario
wait 70
-- seen
60 1: server [0 0 0] fine

== a section that is not on, not a list or holds no list sends nothing; repaired, it sends
-- config.json
{"ScheduledMessages": {"Enabled": "yes", "Messages": []}}
-- scenario
wait 70
config-text {"ScheduledMessages": {"Enabled": true}}
rcon hx.reload
wait 60
config-text {"ScheduledMessages": {"Enabled": true, "Messages": {"At": ["00:03"]}}}
rcon hx.reload
wait 60
config-text {"ScheduledMessages": {"Enabled": false, "Messages": [{"MessageType": "Server", "At": ["00:04"]}]}}
rcon hx.reload
wait 60
config-text {"ScheduledMessages": {"Enabled": true, "Messages": [{"MessageToSend": "on", "MessageType": "Server", "At": ["00:05"]}]}}
rcon hx.reload
wait 60
-- seen
300 1: server [0 0 0] on
