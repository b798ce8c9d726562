# Timed messages go at the first timer call, then every interval by the clock, wherever the clock is moved
# and whatever a reload changes.

-- shows server
-- scenario
join 1 Alice

== an interval of zero: every timer call
-- config.json
{"TimedMessages": {"Enabled": true, "Interval": 0, "Messages": [{"MessageToSend": "m", "MessageType": "Server"}]}}
-- scenario
wait 2
tick
-- seen
1 1: server [0 0 0] m
2 1: server [0 0 0] m
2 1: server [0 0 0] m

== a clock set back waits until it reaches the due time again
-- config.json
{"TimedMessages": {"Enabled": true, "Interval": 10, "Messages": [{"MessageToSend": "m", "MessageType": "Server"}]}}
-- scenario
# Due at second 11 of the old clock, which the moved clock reaches at second 3611.
wait 1
clock -3600
wait 3600
wait 20
-- seen
1 1: server [0 0 0] m
3611 1: server [0 0 0] m
3621 1: server [0 0 0] m

== switched off, they send nothing and keep their due time
-- config.json
{"TimedMessages": {"Enabled": true, "Interval": 100, "Messages": [{"MessageToSend": "m", "MessageType": "Server"}]}}
-- scenario
# Sent at once, silent while off, then due again where the first message put it.
wait 1
config-text {"TimedMessages": {"Enabled": false, "Interval": 100, "Messages": [{"MessageToSend": "m", "MessageType": "Server"}]}}
console none hx.reload
wait 50
config-text {"TimedMessages": {"Enabled": true, "Interval": 100, "Messages": [{"MessageToSend": "m", "MessageType": "Server"}]}}
console none hx.reload
wait 60
-- seen
1 1: server [0 0 0] m
101 1: server [0 0 0] m

== sequential order carries on across a reload that shortens the list
-- config.json
{"TimedMessages": {"Enabled": true, "Interval": 10, "Order": "Sequential", "Messages": [
  {"MessageToSend": "a", "MessageType": "Server"}, {"MessageToSend": "b", "MessageType": "Server"},
  {"MessageToSend": "c", "MessageType": "Server"}, {"MessageToSend": "d", "MessageType": "Server"},
  {"MessageToSend": "e", "MessageType": "Server"}]}}
-- scenario
# a b c d, then the fourth index wraps around the two left: x y x.
wait 35
config-text {"TimedMessages": {"Enabled": true, "Interval": 10, "Order": "Sequential", "Messages": [{"MessageToSend": "x", "MessageType": "Server"}, {"MessageToSend": "y", "MessageType": "Server"}]}}
console none hx.reload
wait 30
-- seen
1 1: server [0 0 0] a
11 1: server [0 0 0] b
21 1: server [0 0 0] c
31 1: server [0 0 0] d
41 1: server [0 0 0] x
51 1: server [0 0 0] y
61 1: server [0 0 0] x
