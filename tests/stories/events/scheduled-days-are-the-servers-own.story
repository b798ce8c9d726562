# A scheduled message's days and times are the server's own, in its time zone. Every run starts on Thursday
# 2026-01-01 at 00:00:00 UTC.

-- shows server
-- config.json
{"ScheduledMessages": {"Enabled": true, "Messages": [
  {"MessageToSend": "weekend", "MessageType": "Server", "At": ["12:00"], "Days": ["Sat", "Sun"]},
  {"MessageToSend": "midweek", "MessageType": "Server", "At": ["19:01"], "Days": ["Wed"]},
  {"MessageToSend": "daily", "MessageType": "Server", "At": ["01:01"]}]}}
-- scenario
join 1 A

== UTC
-- scenario
# Thursday 12:00 no; Saturday 12:00 yes; back to Friday 12:00 no.
clock +43190
wait 20
clock +172800
wait 20
clock -86400
wait 60
-- seen
21 1: server [0 0 0] weekend

== New York
-- zone EST5EDT,M3.2.0,M11.1.0
-- scenario
# Thursday at 00:00 UTC is Wednesday at 19:00 in New York.
wait 70
-- seen
60 1: server [0 0 0] midweek
