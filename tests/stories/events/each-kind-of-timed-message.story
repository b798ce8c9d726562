# Each kind of timed message: a server message, chat from its sender or from Heraldix, a notification with its
# icon; an unknown kind sends nothing.

-- shows server chat notification load

== a server message to everyone, channels cut to bytes
-- config.json
{"TimedMessages": {"Enabled": true, "Interval": 0, "Messages": [{"MessageToSend": "srv", "MessageType": "Server", "MessageColour": {"R": 256, "G": -1}}]}}
-- scenario
join 1 Alice
join 2 Bob
wait 1
-- seen
1 1: server [0 255 0] srv
1 2: server [0 255 0] srv

== chat from its sender
-- config.json
{"TimedMessages": {"Enabled": true, "Interval": 0, "Messages": [{"MessageToSend": "hello", "Sender": "Cr\u00ebw", "MessageType": "Chat", "MessageColour": {"R": 255}}]}}
-- scenario
join 1 Alice
wait 1
-- seen
1 1: chat Crëw: <RichColor Color="1, 0, 0, 1">hello</>

== chat by default, from Heraldix
-- config.json
{"TimedMessages": {"Enabled": true, "Interval": 0, "Messages": [{"MessageToSend": "hello"}]}}
-- scenario
join 1 Alice
wait 1
-- seen
1 1: chat Heraldix: <RichColor Color="0, 0, 0, 255">hello</>

== a notification with its icon
-- config.json
{"TimedMessages": {"Enabled": true, "Interval": 0, "Messages": [{"MessageToSend": "note", "MessageType": "Notification", "Icon_BP": "/Game/I"}]}}
-- scenario
texture /Game/I
join 1 Alice
wait 1
-- seen
1 load /Game/I
1 1: notification [0 0 0] scale 1 time 10 icon /Game/I note

== an unknown kind sends nothing, the next message goes
-- config.json
{"TimedMessages": {"Enabled": true, "Order": "Sequential", "Interval": 0, "Messages": [{"MessageToSend": "low", "MessageType": "chat"}, {"MessageToSend": "ok", "MessageType": "Server"}]}}
-- scenario
join 1 Alice
wait 3
-- seen
2 1: server [0 0 0] ok
