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

== "WelcomeMessageType": "Notification", "NotificationDisplayTime": "10"
-- config.json
{"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true, "WelcomeMessageType": "Notification", "NotificationDisplayTime": "10"}}}
-- seen
0 delay 5
0 delay 5
