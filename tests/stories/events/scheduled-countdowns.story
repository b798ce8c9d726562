# A scheduled message with a "Countdown" also goes out that many seconds before each of its times, on the
# days of the time itself, once each, never late, {TimeLeft} the time left. Runs start on Thursday
# 2026-01-01 at 00:00:00 UTC.

-- shows server

== before 06:00 on Fridays only, once, never late
-- config.json
{"ScheduledMessages": {"Enabled": true, "Messages": [
  {"MessageToSend": "Restart: {TimeLeft} left", "MessageType": "Server", "At": ["06:00"], "Days": ["Fri"],
   "Countdown": [600, 300, 60, 10, 0]}]}}
-- scenario
# Thursday 05:50 to 06:00: not the day.
join 1 A
clock +21000
wait 600
# Friday 05:49:50: ten minutes before, once, also when the clock goes back.
clock +85789
wait 15
clock -10
wait 10
# 05:59:58: the five-minute and one-minute sends are over; the ten-second one says what is left.
clock +593
wait 5
-- seen
611 1: server [0 0 0] Restart: 10 minutes left
626 1: server [0 0 0] Restart: 2 seconds left
628 1: server [0 0 0] Restart: 0 seconds left
