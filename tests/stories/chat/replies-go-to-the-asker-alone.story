# A command's reply goes to the player who typed it alone, in the kind, sender, colour and layout configured,
# and its follow-up line is said for them.

-- shows server chat notification say load echo
-- config.json
{"CustomCommands": {"/c": {"Message": "from chat", "Sender": "Sch\u00f6n", "MessageColor": [0, 255, 0]},
  "/k": {"Message": "from client", "Type": "Client", "MessageColor": [0, 255, 0]},
  "/n": {"Message": "look", "Type": "Notification", "MessageColor": [255, 0, 0], "DisplayTime": 5,
         "DisplayScale": 1.5, "Icon_BP": "/Game/Icons/Star"}, "/e": {"Message": "plain", "Type": "Notification"},
  "/bad": {"Message": "{name}", "Type": "Server", "Command_To_Execute": "/after"},
  "/help": {"Message": "Hi", "Type": "Server", "MessageColor": [0, 255, 0]},
  "/lower": {"Message": "x", "Type": "chat", "Command_To_Execute": "hello"},
  "/loop": {"Message": "again", "Type": "Server", "Command_To_Execute": "/LOOP"}}}
-- scenario
join 1 Alice

== chat and client replies carry sender and colour
-- scenario
join 2 Bob
chat 1 /c
chat 1 /k
-- seen
0 1: chat Schön: <RichColor Color="0, 1, 0, 1">from chat</>
0 1: chat : <RichColor Color="0, 1, 0, 1">from client</>

== notifications load their icon every time
-- scenario
# A notification without an icon still asks for one, by an empty path.
texture /Game/Icons/Star
chat 1 /n
chat 1 /n
chat 1 /e
-- seen
0 load /Game/Icons/Star
0 1: notification [255 0 0] scale 1.5 time 5 icon /Game/Icons/Star look
0 load /Game/Icons/Star
0 1: notification [255 0 0] scale 1.5 time 5 icon /Game/Icons/Star look
0 load 
0 1: notification [0 0 0] scale 0 time 0 plain

== a reply the formatter rejects still sends the follow-up
-- scenario
chat 1 /bad
-- seen
0 say from 1 mode 0: /after
0 echo Alice: /after

== the first word selects the command, ignoring case
-- scenario
chat 1 /help
chat 1 /HELP me please
chat 1    /Help
chat 1 /helpme
-- seen
0 1: server [0 255 0] Hi
0 1: server [0 255 0] Hi
0 1: server [0 255 0] Hi
0 echo Alice: /helpme

== a kind that matches nothing sends no reply but still the follow-up
-- scenario
chat 1 /lower
-- seen
0 say from 1 mode 0: hello
0 echo Alice: hello

== a command leading back to itself nests four deep and ends
-- scenario
# Each typed line: the reply, then four nested follow-ups each answered; the fifth reply sends no line.
chat 1 /loop
chat 1 /loop
-- seen
0 1: server [0 0 0] again
0 say from 1 mode 0: /LOOP
0 1: server [0 0 0] again
0 say from 1 mode 0: /LOOP
0 1: server [0 0 0] again
0 say from 1 mode 0: /LOOP
0 1: server [0 0 0] again
0 say from 1 mode 0: /LOOP
0 1: server [0 0 0] again
0 1: server [0 0 0] again
0 say from 1 mode 0: /LOOP
0 1: server [0 0 0] again
0 say from 1 mode 0: /LOOP
0 1: server [0 0 0] again
0 say from 1 mode 0: /LOOP
0 1: server [0 0 0] again
0 say from 1 mode 0: /LOOP
0 1: server [0 0 0] again
