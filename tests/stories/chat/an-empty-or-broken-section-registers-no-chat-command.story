# An empty or broken "CustomCommands" section registers no chat command, but the rest of the load stands: the
# line reaches no command and is plain chat, and the timed message goes out. A broken section is logged, an
# empty one is not.

-- shows server echo register log
-- scenario
join 1 Alice
chat 1 /a
wait 1

== no section, an empty list or null: nothing registered, nothing logged
-- config.json
{"TimedMessages": {"Enabled": true, "Messages": [{"MessageToSend": "tm", "MessageType": "Server"}]}}
-- scenario
config-text {"CustomCommands": [], "TimedMessages": {"Enabled": true, "Messages": [{"MessageToSend": "tm", "MessageType": "Server"}]}}
unload
load
chat 1 /a
wait 1
config-text {"CustomCommands": null, "TimedMessages": {"Enabled": true, "Messages": [{"MessageToSend": "tm", "MessageType": "Server"}]}}
unload
load
chat 1 /a
wait 1
-- seen
0 echo Alice: /a
1 1: server [0 0 0] tm
1 echo Alice: /a
2 1: server [0 0 0] tm
2 echo Alice: /a
3 1: server [0 0 0] tm

== a list with something in it
-- config.json
{"CustomCommands": [1], "TimedMessages": {"Enabled": true, "Messages": [{"MessageToSend": "tm", "MessageType": "Server"}]}}
-- seen
0 log error: Custom chat commands not registered: config.json line 1, column 20: "CustomCommands": type must be object, but is array
0 echo Alice: /a
1 1: server [0 0 0] tm

== a number written as text in a later command
-- config.json
{"CustomCommands": {"/a": {"Message": "ok"}, "/b": {"Message": "x", "DisplayTime": "10"}}, "TimedMessages": {"Enabled": true, "Messages": [{"MessageToSend": "tm", "MessageType": "Server"}]}}
-- seen
0 log error: Custom chat commands not registered: config.json line 1, column 84: "CustomCommands" > "/b" > "DisplayTime": type must be number, but is string
0 echo Alice: /a
1 1: server [0 0 0] tm
