# A text given per language reaches each player in theirs, else in "Default_Language", else in the first code
# in alphabetical order: broadcasts go to each language's players in theirs, replies and greetings to the
# player in theirs. While nobody can have a language, everyone reads the default language's text.
-- shows server
-- config.json
{"Players": {"Enabled": true, "Languages": ["en", "de"], "Default_Language": "en"},
 "CustomCommands": {"/rules": {"Message": {"en": "Be nice", "de": "Seid nett"}, "Type": "Server"}},
 "Countdown": {"Marks": [60], "Final_Message": {"en": "Restarting", "de": "Neustart"},
   "Words": {"Minute": {"de": "Minute", "en": "minute"}, "Seconds": {"de": "Sekunden", "en": "seconds"}}}}
-- scenario
join 1 Alice
join 2 Bernd
chat 2 /language de

== the rotation and a join line: each language's players read theirs
-- config.json
{"Players": {"Enabled": true, "Languages": ["en", "de"], "Default_Language": "en"},
 "TimedMessages": {"Enabled": true, "Interval": 1000, "Messages": [
   {"MessageToSend": {"de": "Stimmt für uns ab", "en": "Vote for us"}, "MessageType": "Server"}]},
 "JoinLeaveMessages": {"Enabled": true,
   "Join": {"MessageToSend": {"en": "{Player} joined", "de": "{Player} ist da"}, "MessageType": "Server"}}}
-- scenario
chat 1 /language en
join 3 Dora
wait 1
-- seen
0 1: server [0 0 0] Bernd joined
0 1: server [0 0 0] Dora joined
0 2: server [0 0 0] Dora ist da
1 1: server [0 0 0] Vote for us
1 3: server [0 0 0] Vote for us
1 2: server [0 0 0] Stimmt für uns ab

== a command's reply in the asker's language
-- scenario
chat 1 /rules
chat 2 /rules
-- seen
0 1: server [0 0 0] Be nice
0 2: server [0 0 0] Seid nett

== the welcome in each player's language, "First_Message" on a first visit ever and "Message" on later ones
-- config.json
{"Players": {"Enabled": true, "Languages": ["en", "de"], "Default_Language": "en"},
 "Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true, "WelcomeMessageType": "Server", "Delay": 1,
   "Message": {"en": "Welcome back {0}", "de": "Willkommen zurück {0}"},
   "First_Message": {"en": "Welcome {0}", "de": "Willkommen {0}"}}}}
-- scenario
wait 2
leave 1
leave 2
join 1 Alice
join 2 Bernd
wait 2
-- seen
1 1: server [0 0 0] Welcome Alice
1 2: server [0 0 0] Willkommen Bernd
3 1: server [0 0 0] Welcome back Alice
3 2: server [0 0 0] Willkommen zurück Bernd

== the countdown's words and final message in each player's language
-- scenario
console none hx.countdown 90 "Restart: {TimeLeft}"
wait 90
-- seen
0 1: server [255 255 255] Restart: 1 minute 30 seconds
0 2: server [255 255 255] Restart: 1 Minute 30 Sekunden
30 1: server [255 255 255] Restart: 1 minute
30 2: server [255 255 255] Restart: 1 Minute
90 1: server [255 255 255] Restarting
90 2: server [255 255 255] Neustart

== without "Players" nobody has a language: the first code's text, in alphabetical order
-- config.json
{"TimedMessages": {"Enabled": true, "Interval": 1000, "Messages": [
   {"MessageToSend": {"fr": "Votez", "de": "Abstimmen"}, "MessageType": "Server"}]}}
-- scenario
wait 1
-- seen
1 1: server [0 0 0] Abstimmen
1 2: server [0 0 0] Abstimmen

== with the database unusable a choice is not kept and nobody has a language: the default language's text
-- shows server chat
-- config.json
{"Players": {"Enabled": true, "Database": "gone/players.db", "Languages": ["en", "de"], "Default_Language": "en"},
 "TimedMessages": {"Enabled": true, "Interval": 1000, "Messages": [
   {"MessageToSend": {"de": "Abstimmen", "en": "Vote"}, "MessageType": "Server"}]}}
-- scenario
wait 1
-- seen
0 2: chat Heraldix: <RichColor Color="1, 1, 1, 1">Your choices cannot be kept at the moment.</>
1 1: server [0 0 0] Vote
1 2: server [0 0 0] Vote
