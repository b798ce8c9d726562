# The game drops a line said on a player's behalf less than a second (on its clock) after their last one. A
# command's follow-up is said at once, in the same instant as the command, so it gets through only because
# the command moves the player's last-chat time back first.

-- shows server say echo refused rcon

== the follow-up is said at once and everyone sees it; a line made to follow it at once is dropped
-- config.json
{"CustomCommands": {"/vote": {"Message": "Counted", "Type": "Server", "MessageColor": [0, 255, 0],
                              "Command_To_Execute": "I voted"}}}
-- scenario
join 1 Alice
join 2 Bob
chat 1 /vote
rcon hx.chatasplayer 1 0 "too soon"
wait 1
rcon hx.chatasplayer 1 0 "a second later"
-- seen
0 1: server [0 255 0] Counted
0 say from 1 mode 0: I voted
0 echo Alice: I voted
0 say from 1 mode 0: too soon
0 refused from 1 0s after the last: too soon
0 rcon id 1 type 0: HX: Successfully chatted as player
1 say from 1 mode 0: a second later
1 echo Alice: a second later
1 rcon id 2 type 0: HX: Successfully chatted as player
