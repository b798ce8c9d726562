# A greeting that cannot be made is dropped: every player due at that timer call leaves the queue, and the
# repaired configuration greets nobody afterwards.

-- shows server chat notification delay
-- scenario
join 1 Alice
join 2 Bob
wait 5
config-text {"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true}}}
console none hx.reload
wait 10

== "Message": "{1}"
-- config.json
{"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true, "Message": "{1}"}}}
-- seen
0 delay 5
0 delay 5

== "Message": "{0"
-- config.json
{"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true, "Message": "{0"}}}
-- seen
0 delay 5
0 delay 5

== "Message": 5
-- config.json
{"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true, "Message": 5}}}
-- seen
0 delay 5
0 delay 5

== "WelcomeMessageType": 5
-- config.json
{"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true, "WelcomeMessageType": 5}}}
-- seen
0 delay 5
0 delay 5

== "WelcomeMessageColour": "red"
-- config.json
{"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true, "WelcomeMessageColour": "red"}}}
-- seen
0 delay 5
0 delay 5

== "WelcomeMessageType": "Notification", "NotificationDisplayTime": "10"
-- config.json
{"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true, "WelcomeMessageType": "Notification", "NotificationDisplayTime": "10"}}}
-- seen
0 delay 5
0 delay 5
