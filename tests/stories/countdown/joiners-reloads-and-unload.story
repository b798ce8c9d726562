# A player who joins while a countdown runs is shown the time left once in their visit; a reload keeps the
# countdown, with the look the new document gives it; an unload ends it.

-- shows server notification
-- config.json
{"Countdown": {"Marks": [30], "Final_Message": "Now"}}
-- scenario
join 1 Alice

== a joiner is alerted once at the next timer call, and again on a new visit
-- scenario
console none hx.countdown 100 "Restart"
wait 10
join 2 Bob
wait 5
die 2
respawn 2
possess-dead 2
wait 5
leave 2
join 2 Bob
wait 1
-- seen
0 1: server [255 255 255] Restart in 1 minute 40 seconds
11 2: server [255 255 255] Restart in 1 minute 29 seconds
21 2: server [255 255 255] Restart in 1 minute 19 seconds

== no alert when switched off
-- config.json
{"Countdown": {"Alert_On_Join": false}}
-- scenario
console none hx.countdown 100 "Restart"
join 2 Bob
wait 5
-- seen
0 1: server [255 255 255] Restart in 1 minute 40 seconds

== a reload keeps it
-- scenario
console none hx.countdown 60 "Restart"
wait 20
config-text {"Countdown": {"MessageType": "Notification", "DisplayTime": 4}}
console none hx.reload
wait 40
-- seen
0 1: server [255 255 255] Restart in 1 minute
30 1: notification [255 255 255] scale 1 time 4 Restart in 30 seconds

== an unload ends it
-- scenario
console none hx.countdown 60 "Restart"
wait 10
unload
load
wait 60
-- seen
0 1: server [255 255 255] Restart in 1 minute
