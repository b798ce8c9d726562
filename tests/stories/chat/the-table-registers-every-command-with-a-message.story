# Every command of the table that has a message is registered as a chat command, in table order, and
# unregistered when the plug-in unloads.

-- shows server chat register
-- scenario
join 1 Alice

== in table order
-- config.json
{"CustomCommands": {"/zeta": {"Message": "z"}, "/Alpha": {"Message": "a"}, "/beta": {"Message": "b"},
                    "/Zed": {"Message": "Z"}}}
-- seen
0 +/Alpha
0 +/beta
0 +/Zed
0 +/zeta
0 -/Alpha
0 -/beta
0 -/Zed
0 -/zeta

== members without a message are skipped, follow-up and all; a message in some language is one
-- config.json
{"CustomCommands": {"/empty": {"Message": "", "Command_To_Execute": "/x"},
                     "/none": {"Command_To_Execute": "/x", "Type": "Server"}, "/real": {"Message": "here"},
                     "/blank": {"Message": {"de": "", "en": ""}}, "/some": {"Message": {"de": "", "en": "hi"}}}}
-- scenario
chat 1 /empty
chat 1 /none
chat 1 /blank
-- seen
0 +/real
0 +/some
0 -/real
0 -/some

== case twins keep the first name and the last record
-- config.json
{"CustomCommands": {"/Rules": {"Message": "upper", "Type": "Server"}, "/rules": {"Message": "lower", "Type": "Server"}}}
-- scenario
chat 1 /RULES
-- seen
0 +/Rules
0 1: server [0 0 0] lower
0 -/Rules

== names outside ASCII get one mark per byte
-- config.json
{"CustomCommands": {"/h\u00e9": {"Message": "x"}}}
-- seen
0 +/h??
0 -/h??

== a name holding a space is registered but never found
-- config.json
{"CustomCommands": {"/server info": {"Message": "info", "Type": "Server"}}}
-- scenario
chat 1 /server info
-- seen
0 +/server info
0 -/server info
