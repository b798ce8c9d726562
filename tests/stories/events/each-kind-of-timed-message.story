# Each kind of timed message: a server message, chat from its sender or from Heraldix, a notification with its
# icon; an unknown kind sends nothing and the turn passes.

-- shows server chat notification load

== each kind in turn
-- config.json
{"TimedMessages": {"Enabled": true, "Order": "Sequential", "Interval": 0, "Messages": [
  {"MessageToSend": "srv", "MessageType": "Server", "MessageColour": {"R": 256, "G": -1}},
  {"MessageToSend": "hello", "Sender": "Cr\u00ebw", "MessageType": "Chat", "MessageColour": {"R": 255}},
  {"MessageToSend": "hello"},
  {"MessageToSend": "note", "MessageType": "Notification", "Icon_BP": "/Game/I"},
  {"MessageToSend": "low", "MessageType": "chat"},
  {"MessageToSend": "srv", "MessageType": "Server"}]}}
-- scenario
texture /Game/I
join 1 Alice
wait 6
-- seen
1 1: server [0 255 0] srv
2 1: chat Crëw: <RichColor Color="1, 0, 0, 1">hello</>
3 1: chat Heraldix: <RichColor Color="0, 0, 0, 255">hello</>
4 load /Game/I
4 1: notification [0 0 0] scale 1 time 10 icon /Game/I note
6 1: server [0 0 0] srv
