# A timed message with its own "Interval" leaves the rotation and goes out on its own clock, first after its
# "Start_Delay" (absent: its interval); "Start_Delay" of the section delays the rotation's first message.

-- shows server

== beside the rotation, each on its clock
-- config.json
{"TimedMessages": {"Enabled": true, "Interval": 60, "Order": "Sequential", "Start_Delay": 30, "Messages": [
  {"MessageToSend": "a", "MessageType": "Server"},
  {"MessageToSend": "own", "MessageType": "Server", "Interval": 25, "Start_Delay": 5},
  {"MessageToSend": "b", "MessageType": "Server"},
  {"MessageToSend": "late", "MessageType": "Server", "Interval": 40}]}}
-- scenario
join 1 A
wait 100
-- seen
6 1: server [0 0 0] own
31 1: server [0 0 0] own
31 1: server [0 0 0] a
41 1: server [0 0 0] late
56 1: server [0 0 0] own
81 1: server [0 0 0] own
81 1: server [0 0 0] late
91 1: server [0 0 0] b
