# A timed message for some permission groups reaches only their members, and excluded groups are left out.
# Each player's groups are asked in list order until one says yes; a player gone from the world is not asked.

-- shows server ask
-- scenario
join 1 Alice VIP
join 2 Bob
join 3 Carol Admins
join 4 Dan
stale 4

== only
-- config.json
{"TimedMessages": {"Enabled": true, "Interval": 0, "Messages": [{"MessageToSend": "m", "MessageType": "Server", "Only_Send_To_Permission_Groups": ["VIP", "Admins"]}]}}
-- scenario
wait 1
-- seen
1 ask 1 in VIP: yes
1 1: server [0 0 0] m
1 ask 2 in VIP: no
1 ask 2 in Admins: no
1 ask 3 in VIP: no
1 ask 3 in Admins: yes
1 3: server [0 0 0] m

== excluded
-- config.json
{"TimedMessages": {"Enabled": true, "Interval": 0, "Messages": [{"MessageToSend": "m", "MessageType": "Server", "Exclude_Permissions_Groups": ["VIP"]}]}}
-- scenario
wait 1
-- seen
1 ask 1 in VIP: yes
1 ask 2 in VIP: no
1 2: server [0 0 0] m
1 ask 3 in VIP: no
1 3: server [0 0 0] m

== both
-- config.json
{"TimedMessages": {"Enabled": true, "Interval": 0, "Messages": [{"MessageToSend": "m", "MessageType": "Server", "Only_Send_To_Permission_Groups": ["VIP"], "Exclude_Permissions_Groups": ["VIP"]}]}}
-- scenario
wait 1
-- seen
1 ask 1 in VIP: yes
1 1: server [0 0 0] m
1 ask 2 in VIP: no
1 ask 3 in VIP: no
