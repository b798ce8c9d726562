# Join and leave lines go to every other player online, about the player who joined or left, their
# placeholders always replaced.

-- shows server chat
-- scenario
join 1 Alice
join 2 Bob

== to everyone else only, once a visit, and a leave only for a player possessed during this load (owned or not yet)
-- config.json
{"JoinLeaveMessages": {"Enabled": true,
  "Join": {"MessageToSend": "{Player} joined, {PlayersOnline} online", "MessageType": "Server"},
  "Leave": {"MessageToSend": "<{Player}> left", "MessageType": "Chat", "Sender": "Door"}}}
-- scenario
join 3 Carol
die 2
respawn 2
possess-dead 3
leave 2
join 2 B<o>b
leave 2
config-text {"JoinLeaveMessages": {"Enabled": true, "Leave": {"MessageToSend": "{Player} left", "MessageType": "Server"}}}
console none hx.reload
leave 3
unload
load
join 4 Dan
possess-unowned 1
leave 1
-- seen
0 1: server [0 0 0] Bob joined, 2 online
0 1: server [0 0 0] Carol joined, 3 online
0 2: server [0 0 0] Carol joined, 3 online
0 1: chat Door: <RichColor Color="0, 0, 0, 255"><Bob> left</>
0 3: chat Door: <RichColor Color="0, 0, 0, 255"><Bob> left</>
0 1: server [0 0 0] B<o>b joined, 3 online
0 3: server [0 0 0] B<o>b joined, 3 online
0 1: chat Door: <RichColor Color="0, 0, 0, 255"><B&lt;o&gt;b> left</>
0 3: chat Door: <RichColor Color="0, 0, 0, 255"><B&lt;o&gt;b> left</>
0 1: server [0 0 0] Carol left
0 4: server [0 0 0] Alice left

== off, or without a line, nothing is sent; on, the line goes
-- config.json
{"JoinLeaveMessages": {"Enabled": false, "Join": {"MessageToSend": "{Player} is here", "MessageType": "Server"}}}
-- scenario
config-text {"JoinLeaveMessages": {"Enabled": true, "Leave": {"MessageToSend": "{Player} left", "MessageType": "Server"}}}
console none hx.reload
join 3 Carol
leave 3
-- seen
0 1: server [0 0 0] Carol left
0 2: server [0 0 0] Carol left
