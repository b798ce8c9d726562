# Players turn automatic messages off and on and pick a language with chat commands; each answer is a chat
# line to them alone, and what they chose is read back after the plug-in is unloaded and loaded again.
-- shows chat echo
-- scenario
join 1 Alice

== the opt-out command answers each word and keeps the choice over a restart
-- config.json
{"Players": {"Enabled": true}, "Heraldix": {"ClientChatColour": {"R": 0, "G": 255, "B": 0}}}
-- scenario
join 2 Bob
chat 1 /adverts
chat 1 /ADVERTS Off
chat 2 /adverts off please
unload
load
chat 1 /adverts on
-- seen
0 1: chat Heraldix: <RichColor Color="0, 1, 0, 1">Type /adverts off to stop automatic messages, /adverts on to have them back.</>
0 1: chat Heraldix: <RichColor Color="0, 1, 0, 1">Automatic messages are off for you. Type /adverts on to have them back.</>
0 2: chat Heraldix: <RichColor Color="0, 1, 0, 1">Type /adverts off to stop automatic messages, /adverts on to have them back.</>
0 1: chat Heraldix: <RichColor Color="0, 1, 0, 1">Automatic messages are on for you again.</>

== the language command lists, sets and refuses, and the choice is read back after a restart
-- config.json
{"Players": {"Enabled": true, "Languages": ["en", "de"], "Default_Language": "en", "Language_Command": "/lang",
             "Language_Set_Message": "{{ok}} {0}", "Language_Unknown_Message": "no {0} among {1}"}}
-- scenario
chat 1 /lang
chat 1 /lang DE
chat 1 /lang {fr}
unload
load
chat 1 /lang
-- seen
0 1: chat Heraldix: <RichColor Color="1, 1, 1, 1">Your language: en. Choose one of en, de with /lang CODE.</>
0 1: chat Heraldix: <RichColor Color="1, 1, 1, 1">{ok} de</>
0 1: chat Heraldix: <RichColor Color="1, 1, 1, 1">no {fr} among en, de</>
0 1: chat Heraldix: <RichColor Color="1, 1, 1, 1">Your language: de. Choose one of en, de with /lang CODE.</>

== with the section off no command is registered and the lines are chat
-- shows chat register echo
-- config.json
{"Players": {"Enabled": false, "Languages": ["en"]}}
-- scenario
chat 1 /adverts off
-- seen
0 echo Alice: /adverts off

== a reload that renames the command moves it, and keeps what was chosen
-- shows chat register echo
-- config.json
{"Players": {"Enabled": true}}
-- scenario
chat 1 /adverts off
config-text {"Players": {"Enabled": true, "Opt_Out_Command": "/ads"}}
console 1 hx.reload
chat 1 /adverts on
chat 1 /ads on
-- seen
0 +/adverts
0 1: chat Heraldix: <RichColor Color="1, 1, 1, 1">Automatic messages are off for you. Type /adverts on to have them back.</>
0 -/adverts
0 +/ads
0 echo Alice: /adverts on
0 1: chat Heraldix: <RichColor Color="1, 1, 1, 1">Automatic messages are on for you again.</>
0 -/ads

== answers given per language reach each player in theirs, else the default's, else the first code's
-- config.json
{"Players": {"Enabled": true, "Languages": ["en", "de", "fr"], "Default_Language": "en",
             "Adverts_Off_Message": {"de": "Werbung aus", "en": "Adverts off"},
             "Adverts_On_Message": {"fr": "Annonces", "de": "Werbung an"}}}
-- scenario
join 3 Chloé
chat 3 /language fr
chat 1 /adverts off
chat 3 /adverts off
chat 1 /adverts on
chat 3 /adverts on
-- seen
0 3: chat Heraldix: <RichColor Color="1, 1, 1, 1">Your language is now fr.</>
0 1: chat Heraldix: <RichColor Color="1, 1, 1, 1">Adverts off</>
0 3: chat Heraldix: <RichColor Color="1, 1, 1, 1">Adverts off</>
0 1: chat Heraldix: <RichColor Color="1, 1, 1, 1">Werbung an</>
0 3: chat Heraldix: <RichColor Color="1, 1, 1, 1">Annonces</>
