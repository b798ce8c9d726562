# Only members of a command's required groups run it; others get the red refusal alone, without the
# follow-up line.

-- shows server chat say ask echo

== groups asked in list order until one says yes; default lets everyone in; the refusal has its defaults
-- config.json
{"CustomCommands": {"/all": {"Message": "open", "Type": "Server", "RequiredPermissionGroups": ["Admins", "dEfAuLt"]},
          "/vip": {"Message": "hi", "Type": "Server", "Command_To_Execute": "/after",
                   "RequiredPermissionGroups": ["VIP", "Admins", "Mods"]}}}
-- scenario
join 7 Alice Admins
join 1 Bob
chat 7 /vip
chat 1 /all
chat 1 /vip
-- seen
0 ask 7 in VIP: no
0 ask 7 in Admins: yes
0 7: server [0 0 0] hi
0 say from 7 mode 0: /after
0 echo Alice: /after
0 1: server [0 0 0] open
0 ask 1 in VIP: no
0 ask 1 in Admins: no
0 ask 1 in Mods: no
0 1: chat Heraldix: <RichColor Color="1, 0, 0, 1">You don't have permission to perform this command</>

== from the configured sender
-- config.json
{"NoPermission": "Not for you, Zo\u00eb", "Heraldix": {"ClientChatSenderName": "Gate"}, "CustomCommands": {"/vip": {"Message": "s", "Command_To_Execute": "/after", "RequiredPermissionGroups": ["VIP"]}}}
-- scenario
join 1 Alice
chat 1 /vip
-- seen
0 ask 1 in VIP: no
0 1: chat Gate: <RichColor Color="1, 0, 0, 1">Not for you, Zoë</>

== defaults for values of the wrong type
-- config.json
{"NoPermission": 5, "Heraldix": 7, "CustomCommands": {"/vip": {"Message": "s", "Command_To_Execute": "/after", "RequiredPermissionGroups": ["VIP"]}}}
-- scenario
join 1 Alice
chat 1 /vip
-- seen
0 ask 1 in VIP: no
0 1: chat Heraldix: <RichColor Color="1, 0, 0, 1">You don't have permission to perform this command</>
