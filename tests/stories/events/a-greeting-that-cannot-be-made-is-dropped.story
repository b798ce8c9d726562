# A greeting that cannot be made is dropped: every player due at that timer call leaves the queue, and the
# repaired configuration greets nobody afterwards.

== "Message": "{1}"
-- config.json
{"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true, "Message": "{1}"}}}
-- scenario
join 1 Alice
join 2 Bob
wait 5
config-text {"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true}}}
console none hx.reload
wait 10
-- seen
0 delay 5
0 delay 5
5 log info: Reloaded config: 0 custom commands, 0 timed messages

== "Message": "{0"
-- config.json
{"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true, "Message": "{0"}}}
-- scenario
join 1 Alice
join 2 Bob
wait 5
config-text {"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true}}}
console none hx.reload
wait 10
-- seen
0 delay 5
0 delay 5
5 log info: Reloaded config: 0 custom commands, 0 timed messages

== "Message": 5
-- config.json
{"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true, "Message": 5}}}
-- scenario
join 1 Alice
join 2 Bob
wait 5
config-text {"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true}}}
console none hx.reload
wait 10
-- seen
0 delay 5
0 delay 5
5 log info: Reloaded config: 0 custom commands, 0 timed messages

== "WelcomeMessageType": 5
-- config.json
{"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true, "WelcomeMessageType": 5}}}
-- scenario
join 1 Alice
join 2 Bob
wait 5
config-text {"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true}}}
console none hx.reload
wait 10
-- seen
0 delay 5
0 delay 5
5 log info: Reloaded config: 0 custom commands, 0 timed messages

== "WelcomeMessageColour": "red"
-- config.json
{"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true, "WelcomeMessageColour": "red"}}}
-- scenario
join 1 Alice
join 2 Bob
wait 5
config-text {"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true}}}
console none hx.reload
wait 10
-- seen
0 delay 5
0 delay 5
5 log info: Reloaded config: 0 custom commands, 0 timed messages

== "WelcomeMessageType": "Notification", "NotificationDisplayTime": "10"
-- config.json
{"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true, "WelcomeMessageType": "Notification", "NotificationDisplayTime": "10"}}}
-- scenario
join 1 Alice
join 2 Bob
wait 5
config-text {"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true}}}
console none hx.reload
wait 10
-- seen
0 delay 5
0 delay 5
5 log info: Reloaded config: 0 custom commands, 0 timed messages
