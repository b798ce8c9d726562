# Scheduled messages go out once at their minutes, never again that day and never late. Every run starts on Thursday 2026-01-01 at 00:00:00 UTC.

-- shows server
-- config.json
{"ScheduledMessages": {"Enabled": true, "Messages": [
  {"MessageToSend": "in 10", "MessageType": "Server", "At": ["00:01", "00:03"]},
  {"MessageToSend": "in 5", "MessageType": "Server", "At": ["00:02"]}]}}

== the clock moved back within the day sends nothing twice
-- scenario
join 1 A
wait 130
clock -100
wait 160
-- seen
60 1: server [0 0 0] in 10
120 1: server [0 0 0] in 5
280 1: server [0 0 0] in 10

== a minute jumped over is not sent late
-- scenario
join 1 A
wait 30
clock +120
wait 40
-- seen
31 1: server [0 0 0] in 5
60 1: server [0 0 0] in 10

== the clock moved back to yesterday sends yesterday's
-- scenario
join 1 A
wait 70
clock -86400
wait 10
clock -20
wait 10
-- seen
60 1: server [0 0 0] in 10
71 1: server [0 0 0] in 10

== across midnight, the next day's
-- scenario
join 1 A
wait 70
clock +86300
wait 100
-- seen
60 1: server [0 0 0] in 10
160 1: server [0 0 0] in 10

== a server down over a minute sends nothing for it when it comes back
-- scenario
join 1 A
wait 30
unload
wait 100
load
wait 60
-- seen
131 1: server [0 0 0] in 5
180 1: server [0 0 0] in 10

== a reload within the minute does not send it again
-- scenario
join 1 A
wait 61
console none hx.reload
wait 10
-- seen
60 1: server [0 0 0] in 10

== after the timed message and before the greeting of the same timer call
-- config.json
{"TimedMessages": {"Enabled": true, "Interval": 59, "Messages": [{"MessageToSend": "timed", "MessageType": "Server"}]},
 "ScheduledMessages": {"Enabled": true, "Messages": [{"MessageToSend": "scheduled", "MessageType": "Server", "At": ["00:01"]}]},
 "Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true, "WelcomeMessageType": "Server", "Message": "welcome"}}}
-- scenario
wait 55
join 1 A
wait 10
-- seen
60 1: server [0 0 0] timed
60 1: server [0 0 0] scheduled
60 1: server [0 0 0] welcome
