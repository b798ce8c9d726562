# A countdown of 600 seconds is announced at once and at 300, 120, 60, 30, 10, 5, 4, 3, 2 and 1 seconds
# left, with the time left in words; then the final message goes out.

-- shows server chat
-- scenario
join 1 Alice

== with no countdown settings: white server lines, the text's {TimeLeft} replaced
-- config.json
{}
-- scenario
admin hx.countdown 600 "Server restart in {TimeLeft}!"
wait 601
-- seen
0 1: server [255 255 255] Server restart in 10 minutes!
300 1: server [255 255 255] Server restart in 5 minutes!
480 1: server [255 255 255] Server restart in 2 minutes!
540 1: server [255 255 255] Server restart in 1 minute!
570 1: server [255 255 255] Server restart in 30 seconds!
590 1: server [255 255 255] Server restart in 10 seconds!
595 1: server [255 255 255] Server restart in 5 seconds!
596 1: server [255 255 255] Server restart in 4 seconds!
597 1: server [255 255 255] Server restart in 3 seconds!
598 1: server [255 255 255] Server restart in 2 seconds!
599 1: server [255 255 255] Server restart in 1 second!

== the words after a text without {TimeLeft}, escaped in chat, then the final message, as configured
-- config.json
{"Countdown": {"Final_Message": "Restarting now", "MessageType": "Chat", "Sender": "Server",
               "MessageColour": {"R": 255, "G": 0, "B": 0}, "Words": {"Seconds": "<s>"}}}
-- scenario
admin hx.countdown 3 "Restart"
wait 4
-- seen
0 1: chat Server: <RichColor Color="1, 0, 0, 1">Restart in 3 &lt;s&gt;</>
1 1: chat Server: <RichColor Color="1, 0, 0, 1">Restart in 2 &lt;s&gt;</>
2 1: chat Server: <RichColor Color="1, 0, 0, 1">Restart in 1 second</>
3 1: chat Server: <RichColor Color="1, 0, 0, 1">Restarting now</>

== hours, configured words and configured marks
-- config.json
{"Countdown": {"Marks": [3600, 90, 61, 0, -5, 90], "Words": {"Hour": "Stunde", "Hours": "Stunden", "Minute": "Minute",
               "Minutes": "Minuten", "Second": "Sekunde", "Seconds": "Sekunden"}}}
-- scenario
console none hx.countdown 7290 "Neustart in {TimeLeft}"
wait 7291
-- seen
0 1: server [255 255 255] Neustart in 2 Stunden 1 Minute 30 Sekunden
3690 1: server [255 255 255] Neustart in 1 Stunde
7200 1: server [255 255 255] Neustart in 1 Minute 30 Sekunden
7229 1: server [255 255 255] Neustart in 1 Minute 1 Sekunde
