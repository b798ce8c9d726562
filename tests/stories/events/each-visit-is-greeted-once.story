# Each visit is greeted once, when a living character is possessed; the welcome step runs whatever the timed
# section holds.

-- shows server
-- config.json
{"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true, "WelcomeMessageType": "Server", "Message": "Hi {0}"}}}
-- scenario
join 1 Alice

== once per visit, not at a respawn
-- scenario
wait 10
die 1
respawn 1
wait 10
leave 1
join 1 Alice
wait 10
-- seen
5 1: server [0 0 0] Hi Alice
25 1: server [0 0 0] Hi Alice

== a dead character brings none until a living one is possessed, found through its instigator before it has an owner
-- config.json
{}
-- scenario
config-text {"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true, "WelcomeMessageType": "Server", "Message": "Hi {0}"}}}
console none hx.reload
possess-dead 1
wait 10
possess-unowned 1
wait 10
-- seen
15 1: server [0 0 0] Hi Alice

== two delays ending before the same timer call greet once
-- scenario
respawn 1
wait 10
-- seen
5 1: server [0 0 0] Hi Alice

== two possessions two seconds apart each have their own timer call
-- scenario
wait 2
respawn 1
wait 10
-- seen
5 1: server [0 0 0] Hi Alice
7 1: server [0 0 0] Hi Alice

== players who leave or vanish from the world during the delay are not greeted
-- scenario
join 2 Bob
join 3 Carol
wait 2
stale 1
leave 2
wait 10
-- seen
5 3: server [0 0 0] Hi Carol

== players due together are each greeted once in queue order
-- scenario
join 3 Carol
join 2 Bob
wait 20
-- seen
5 1: server [0 0 0] Hi Alice
5 3: server [0 0 0] Hi Carol
5 2: server [0 0 0] Hi Bob

== the welcome step runs whatever the timed section holds
-- scenario
config-text {"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true, "WelcomeMessageType": "Server", "Message": "Hi {0}"}}, "TimedMessages": 5}
console none hx.reload
wait 10
-- seen
5 1: server [0 0 0] Hi Alice

== welcomes still waiting at an unload are dropped with the plug-in; after each load, greetings start afresh
-- scenario
wait 2
unload
wait 10
load
join 2 Bob
wait 2
unload
load
wait 10
respawn 1
respawn 2
wait 10
-- seen
29 1: server [0 0 0] Hi Alice
29 2: server [0 0 0] Hi Bob
