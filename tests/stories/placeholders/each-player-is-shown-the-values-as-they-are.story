# With "Placeholders" on, a configured text shows each player the values as they are: their name (in braces,
# or holding markup, as typed), the players online, the time and date in the server's zone. Off, or any value
# but true, a text reads as it always did, where braces belong to the formatter.

-- shows server chat

== a name in braces is greeted by name, through {Player} and {0} alike
-- config.json
{"Heraldix": {"Placeholders": true, "WelcomeMessage": {"EnableWelcomeMessage": true, "Message": "Welcome {Player}, {0}!", "WelcomeMessageType": "Chat"}}}
-- scenario
join 1 {x}
join 2 a}b
wait 6
-- seen
5 1: chat Heraldix: <RichColor Color="0, 0, 0, 255">Welcome {x}, {x}!</>
5 2: chat Heraldix: <RichColor Color="0, 0, 0, 255">Welcome a}b, a}b!</>

== markup characters in a name show as they are in chat
-- config.json
{"Heraldix": {"Placeholders": true, "WelcomeMessage": {"EnableWelcomeMessage": true, "Message": "Hi {Player}", "WelcomeMessageType": "Chat"}}}
-- scenario
# The name is escaped in the markup, so the player reads it as it was typed.
join 1 a</>b<RichColor
join 2 "x&lt;y &amp; <RichColor Color=1>z"
wait 6
-- seen
5 1: chat Heraldix: <RichColor Color="0, 0, 0, 255">Hi a&lt;/&gt;b&lt;RichColor</>
5 2: chat Heraldix: <RichColor Color="0, 0, 0, 255">Hi x&amp;lt;y &amp;amp; &lt;RichColor Color=1&gt;z</>

== and as they are in a server line, which is no markup
-- config.json
{"Heraldix": {"Placeholders": true, "WelcomeMessage": {"EnableWelcomeMessage": true, "Message": "Hi {0} {Player}", "WelcomeMessageType": "Server"}}}
-- scenario
join 1 a<b>&amp;
wait 6
-- seen
5 1: server [0 0 0] Hi a<b>&amp; a<b>&amp;

== a timed message naming the player goes to each their own; the stale entry counts for nothing
-- zone EST5EDT,M3.2.0,M11.1.0
-- config.json
{"Heraldix": {"Placeholders": true}, "TimedMessages": {"Enabled": true, "Interval": 600, "Messages": [{"MessageToSend": "{Player}: {PlayersOnline} online at {Time} on {Date}"}]}}
-- scenario
join 1 Ann
join 2 Bo</>
join 3 Cy
stale 3
wait 1
-- seen
1 1: chat Heraldix: <RichColor Color="0, 0, 0, 255">Ann: 2 online at 19:00 on 2025-12-31</>
1 2: chat Heraldix: <RichColor Color="0, 0, 0, 255">Bo&lt;/&gt;: 2 online at 19:00 on 2025-12-31</>

== a command's reply and a refusal name whoever typed it
-- config.json
{"Heraldix": {"Placeholders": true}, "NoPermission": "Not for you, {Player}",
           "CustomCommands": {"/me": {"Message": "You are {Player}", "Type": "Server"},
                              "/vip": {"Message": "x", "RequiredPermissionGroups": ["VIP"]}}}
-- scenario
join 1 Ann
join 2 {Bo}
chat 1 /me
chat 2 /vip
-- seen
0 1: server [0 0 0] You are Ann
0 2: chat Heraldix: <RichColor Color="1, 0, 0, 1">Not for you, {Bo}</>

== a near miss keeps today's rule: the message sends nothing, the placeholder beside it its value
-- config.json
{"Heraldix": {"Placeholders": true}, "TimedMessages": {"Enabled": true, "Order": "Sequential", "Interval": 600, "Messages": [{"MessageToSend": "{player}", "MessageType": "Server"}, {"MessageToSend": "{Player}", "MessageType": "Server"}]}}
-- scenario
join 1 Ann
wait 601
-- seen
601 1: server [0 0 0] Ann

== a doubled brace is one brace, not a placeholder
-- config.json
{"Heraldix": {"Placeholders": true}, "TimedMessages": {"Enabled": true, "Interval": 600, "Messages": [{"MessageToSend": "{{Player}} is {Player}"}]}}
-- scenario
join 1 Ann
wait 1
-- seen
1 1: chat Heraldix: <RichColor Color="0, 0, 0, 255">{Player} is Ann</>

== a key that is not true leaves the names to today's rule: the message sends nothing, a plain one beside it goes
-- config.json
{"Heraldix": {"Placeholders": "true"}, "TimedMessages": {"Enabled": true, "Order": "Sequential", "Interval": 600, "Messages": [{"MessageToSend": "Hi {Player}"}, {"MessageToSend": "Hi"}]}}
-- scenario
join 1 Ann
wait 601
-- seen
601 1: chat Heraldix: <RichColor Color="0, 0, 0, 255">Hi</>
