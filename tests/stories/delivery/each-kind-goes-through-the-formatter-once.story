# Every kind of message goes through the formatter once: doubled braces show single and percent signs stay as
# written. A text that is not a sound format text sends nothing to anyone, and its command is refused.

-- shows server chat notification
-- config.json
{}
-- scenario
join 1 Alice

== braces and percent signs go through the formatter once, in each kind
-- scenario
join 2 Bob
join 3 Carol
rcon hx.sendserver 2 "Hello ✓ 100%" 128 10 200
rcon hx.sendserver 1 "{{ok}}" 255 0 0
rcon hx.sendchat 1 Ädmin "{{ünï}} 100%" 255 0 0
rcon hx.sendnotification 1 "{{50%}}" 1 10 255 0 0 0
-- seen
0 2: server [128 10 200] Hello ✓ 100%
0 1: server [255 0 0] {ok}
0 1: chat Ädmin: <RichColor Color="1, 0, 0, 1">{ünï} 100%</>
0 1: notification [255 0 0] scale 1 time 10 {50%}

== an empty server message is an empty line
-- config.json
{"TimedMessages": {"Enabled": true, "Interval": 3600, "Messages": [{"MessageToSend": "", "MessageType": "Server", "MessageColour": {"R": 255}}]}}
-- scenario
wait 1
-- seen
1 1: server [255 0 0] 

== anything but a format text sends nothing, to one player or to everyone
-- scenario
join 2 Bob
join 3 Carol
console 1 hx.sendserver 1 "{name}" 255 0 0
console 1 hx.sendserver 0 "oops }" 255 0 0
console 1 hx.sendchat 1 S "hello {0}" 255 0 0
console 1 hx.sendnotification 0 "{" 1 10 255 0 0 0
console 1 hx.sendnotification 1 "}" 1 10 255 0 0 0
-- seen
0 1: server [255 0 0] Heraldix: Error trying to send the message
0 1: server [255 0 0] Heraldix: Error trying to send the message
0 1: server [255 0 0] Heraldix: Error trying to send the message
0 1: server [255 0 0] Heraldix: Error trying to send the message
0 1: server [255 0 0] Heraldix: Error trying to send the message

== a chat message with a broken line sends none of its lines, a sound one all of them
-- config.json
{"TimedMessages": {"Enabled": true, "Order": "Sequential", "Interval": 0, "Messages": [{"MessageToSend": "fine\n{", "Sender": "S", "MessageType": "Chat", "MessageColour": {"R": 255}}, {"MessageToSend": "fine\nsound", "Sender": "S", "MessageType": "Chat", "MessageColour": {"R": 255}}]}}
-- scenario
join 2 Bob
# Not even the sound first line goes out; the next message, sound throughout, does.
wait 2
-- seen
2 1: chat S: <RichColor Color="1, 0, 0, 1">fine</>\n<RichColor Color="1, 0, 0, 1">sound</>\n
2 2: chat S: <RichColor Color="1, 0, 0, 1">fine</>\n<RichColor Color="1, 0, 0, 1">sound</>\n
