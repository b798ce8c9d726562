# hx.countdown answers whether it started, a new countdown replaces the one running, and "cancel" stops it.

-- shows server answer
-- config.json
{"Countdown": {"Final_Message": "Now"}}
-- scenario
join 1 Alice

== out of range, unreadable, without a text or with one the formatter rejects: an error, nothing announced
-- scenario
admin hx.countdown 0 "Restart"
admin hx.countdown 86401 "Restart"
admin hx.countdown soon "Restart"
admin hx.countdown 60
admin hx.countdown 60 "Restart in {0}"
wait 70
admin hx.countdown 86400 "Restart in {TimeLeft}"
-- seen
0 answer: Heraldix: Error trying to start the countdown
0 answer: Heraldix: Error trying to start the countdown
0 answer: Heraldix: Error trying to start the countdown
0 answer: Heraldix: Error trying to start the countdown
0 answer: Heraldix: Error trying to start the countdown
70 1: server [255 255 255] Restart in 24 hours
70 answer: Heraldix: Countdown started

== a new countdown replaces the one running
-- scenario
admin hx.countdown 600 "A in {TimeLeft}"
wait 10
admin hx.countdown 2 "B in {TimeLeft}"
wait 600
-- seen
0 1: server [255 255 255] A in 10 minutes
0 answer: Heraldix: Countdown started
10 1: server [255 255 255] B in 2 seconds
10 answer: Heraldix: Countdown started
11 1: server [255 255 255] B in 1 second
12 1: server [255 255 255] Now

== cancelled, then nothing to cancel
-- scenario
admin hx.countdown 60 "Restart"
wait 10
admin hx.countdown cancel
wait 60
admin hx.countdown Cancel
-- seen
0 1: server [255 255 255] Restart in 1 minute
0 answer: Heraldix: Countdown started
10 answer: Heraldix: Countdown cancelled
70 answer: Heraldix: No countdown is running
