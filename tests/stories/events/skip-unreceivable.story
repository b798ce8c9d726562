# With "Skip_Unreceivable", no turn is wasted on a message nobody online would get.

-- shows server
-- config.json
{"TimedMessages": {"Enabled": true, "Interval": 10, "Skip_Unreceivable": true, "Order": "Sequential", "Messages": [
  {"MessageToSend": "vip", "MessageType": "Server", "Only_Send_To_Permission_Groups": ["VIP"]},
  {"MessageToSend": "all", "MessageType": "Server"},
  {"MessageToSend": "crowd", "MessageType": "Server", "Min_Players_Online": 5},
  {"MessageToSend": "all2", "MessageType": "Server"}]}}

== every turn sends
-- scenario
join 1 A
wait 40
-- seen
1 1: server [0 0 0] all
11 1: server [0 0 0] all2
21 1: server [0 0 0] all
31 1: server [0 0 0] all2

== a VIP online, then nobody
-- scenario
# With a VIP online the VIP message has its turns; with nobody online no turn qualifies and
# none is sent.
join 1 A VIP
wait 40
leave 1
wait 20
join 1 A
wait 10
-- seen
1 1: server [0 0 0] vip
11 1: server [0 0 0] all
21 1: server [0 0 0] all2
31 1: server [0 0 0] vip
61 1: server [0 0 0] all
