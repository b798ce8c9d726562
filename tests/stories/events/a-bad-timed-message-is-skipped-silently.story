# A timed message that cannot be read or made is skipped without a word, and the good ones beside it still
# go out; a list that is empty or not a list sends nothing until it is repaired.

-- shows server chat notification
-- scenario
join 1 Alice

== each bad message takes its turn silently, the good one beside them goes out
-- config.json
{"TimedMessages": {"Enabled": true, "Order": "Sequential", "Interval": 0, "Messages": [
  {"MessageToSend": "m", "MessageType": "Notification", "DisplayTime": "10"},
  {"MessageToSend": "{0}", "MessageType": "Server"},
  {"MessageToSend": 1},
  "just text",
  {"MessageToSend": "ok", "MessageType": "Server"}]}}
-- scenario
wait 9
-- seen
5 1: server [0 0 0] ok

== an empty list, null and an object send nothing; a list repaired sends
-- config.json
{"TimedMessages": {"Enabled": true, "Interval": 0, "Messages": []}}
-- scenario
wait 3
config-text {"TimedMessages": {"Enabled": true, "Interval": 0, "Messages": null}}
rcon hx.reload
wait 3
config-text {"TimedMessages": {"Enabled": true, "Interval": 0, "Messages": {"a": {"MessageToSend": "m"}, "b": {"MessageToSend": "m"}}}}
rcon hx.reload
wait 3
config-text {"TimedMessages": {"Enabled": true, "Interval": 0, "Messages": [{"MessageToSend": "ok", "MessageType": "Server"}]}}
rcon hx.reload
wait 1
-- seen
10 1: server [0 0 0] ok
