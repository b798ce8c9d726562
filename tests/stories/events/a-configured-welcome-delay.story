# "Delay" sets the seconds from possession to the greeting.

-- shows server delay

== greeted 12 seconds after possession, and at once with a delay below 0
-- config.json
{"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true, "WelcomeMessageType": "Server", "Message": "Hi {0}", "Delay": 12}}}
-- scenario
join 1 Alice
wait 20
config-text {"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true, "WelcomeMessageType": "Server", "Message": "Hi {0}", "Delay": -3}}}
console none hx.reload
join 2 Bob
wait 2
-- seen
0 delay 12
12 1: server [0 0 0] Hi Alice
20 delay 0
21 2: server [0 0 0] Hi Bob
