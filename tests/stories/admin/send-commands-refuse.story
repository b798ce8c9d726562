# The send commands and hx.chatasplayer refuse what they cannot deliver with one answer each, with Alice (1) and
# Bob (2) online; an administrator's commands are played once typed by Alice on the console and once over RCON.

== sendserver, on the console
-- config.json
{
  "Heraldix": {"ServerMessageColor": {"R": 0, "G": 0, "B": 255}, "ClientChatColour": {"R": 255, "G": 0, "B": 255},
               "NotificationColor": {"R": 0, "G": 255, "B": 255}, "NotificationDisplayScale": 3, "NotificationDisplayTime": 12},
  "CustomCommands": {"/rules": {"Message": "Be nice", "Type": "Server", "MessageColor": [255, 255, 255]}}}
-- scenario
join 1 Alice
join 2 Bob
# not online
console 1 hx.sendserver 99 "nobody"
# no message
console 1 hx.sendserver 0
# empty message
console 1 hx.sendserver 2 ""
# an id without digits
console 1 hx.sendserver abc "x"
# a channel beyond 32 bits
console 1 hx.sendserver 0 "x" 2147483648 0 0
# a lone sign
console 1 hx.sendserver 0 "x" 0 - 0
# not a format text
console 1 hx.sendserver 0 "a {brace}"
-- seen
0 +/rules
0 1: server [1 0 0 1] Heraldix: Error trying to send the message
0 1: server [1 0 0 1] Heraldix: Error trying to send the message
0 1: server [1 0 0 1] Heraldix: Error trying to send the message
0 1: server [1 0 0 1] Heraldix: Error trying to send the message
0 1: server [1 0 0 1] Heraldix: Error trying to send the message
0 1: server [1 0 0 1] Heraldix: Error trying to send the message
0 1: server [1 0 0 1] Heraldix: Error trying to send the message
0 -/rules

== sendserver, over RCON
-- config.json
{
  "Heraldix": {"ServerMessageColor": {"R": 0, "G": 0, "B": 255}, "ClientChatColour": {"R": 255, "G": 0, "B": 255},
               "NotificationColor": {"R": 0, "G": 255, "B": 255}, "NotificationDisplayScale": 3, "NotificationDisplayTime": 12},
  "CustomCommands": {"/rules": {"Message": "Be nice", "Type": "Server", "MessageColor": [255, 255, 255]}}}
-- scenario
join 1 Alice
join 2 Bob
# not online
rcon hx.sendserver 99 "nobody"
# no message
rcon hx.sendserver 0
# empty message
rcon hx.sendserver 2 ""
# an id without digits
rcon hx.sendserver abc "x"
# a channel beyond 32 bits
rcon hx.sendserver 0 "x" 2147483648 0 0
# a lone sign
rcon hx.sendserver 0 "x" 0 - 0
# not a format text
rcon hx.sendserver 0 "a {brace}"
-- seen
0 +/rules
0 rcon id 1 type 0: Heraldix: Error trying to send the message
0 rcon id 2 type 0: Heraldix: Error trying to send the message
0 rcon id 3 type 0: Heraldix: Error trying to send the message
0 rcon id 4 type 0: Heraldix: Error trying to send the message
0 rcon id 5 type 0: Heraldix: Error trying to send the message
0 rcon id 6 type 0: Heraldix: Error trying to send the message
0 rcon id 7 type 0: Heraldix: Error trying to send the message
0 -/rules

== sendchat, on the console
-- config.json
{
  "Heraldix": {"ServerMessageColor": {"R": 0, "G": 0, "B": 255}, "ClientChatColour": {"R": 255, "G": 0, "B": 255},
               "NotificationColor": {"R": 0, "G": 255, "B": 255}, "NotificationDisplayScale": 3, "NotificationDisplayTime": 12},
  "CustomCommands": {"/rules": {"Message": "Be nice", "Type": "Server", "MessageColor": [255, 255, 255]}}}
-- scenario
join 1 Alice
join 2 Bob
console 1 hx.sendchat 99 Admin "nobody"
console 1 hx.sendchat 0 Admin
console 1 hx.sendchat
console 1 hx.sendchat x Admin "x"
console 1 hx.sendchat 0 Admin "x" 1 2 99999999999
console 1 hx.sendchat 0 Admin "{0}"
-- seen
0 +/rules
0 1: server [1 0 0 1] Heraldix: Error trying to send the message
0 1: server [1 0 0 1] Heraldix: Error trying to send the message
0 1: server [1 0 0 1] Heraldix: Error trying to send the message
0 1: server [1 0 0 1] Heraldix: Error trying to send the message
0 1: server [1 0 0 1] Heraldix: Error trying to send the message
0 1: server [1 0 0 1] Heraldix: Error trying to send the message
0 -/rules

== sendchat, over RCON
-- config.json
{
  "Heraldix": {"ServerMessageColor": {"R": 0, "G": 0, "B": 255}, "ClientChatColour": {"R": 255, "G": 0, "B": 255},
               "NotificationColor": {"R": 0, "G": 255, "B": 255}, "NotificationDisplayScale": 3, "NotificationDisplayTime": 12},
  "CustomCommands": {"/rules": {"Message": "Be nice", "Type": "Server", "MessageColor": [255, 255, 255]}}}
-- scenario
join 1 Alice
join 2 Bob
rcon hx.sendchat 99 Admin "nobody"
rcon hx.sendchat 0 Admin
rcon hx.sendchat
rcon hx.sendchat x Admin "x"
rcon hx.sendchat 0 Admin "x" 1 2 99999999999
rcon hx.sendchat 0 Admin "{0}"
-- seen
0 +/rules
0 rcon id 1 type 0: Heraldix: Error trying to send the message
0 rcon id 2 type 0: Heraldix: Error trying to send the message
0 rcon id 3 type 0: Heraldix: Error trying to send the message
0 rcon id 4 type 0: Heraldix: Error trying to send the message
0 rcon id 5 type 0: Heraldix: Error trying to send the message
0 rcon id 6 type 0: Heraldix: Error trying to send the message
0 -/rules

== sendnotification, on the console
-- config.json
{
  "Heraldix": {"ServerMessageColor": {"R": 0, "G": 0, "B": 255}, "ClientChatColour": {"R": 255, "G": 0, "B": 255},
               "NotificationColor": {"R": 0, "G": 255, "B": 255}, "NotificationDisplayScale": 3, "NotificationDisplayTime": 12},
  "CustomCommands": {"/rules": {"Message": "Be nice", "Type": "Server", "MessageColor": [255, 255, 255]}}}
-- scenario
join 1 Alice
join 2 Bob
console 1 hx.sendnotification 99 "nobody"
console 1 hx.sendnotification 0 "x" 2 ten 1 1 1 icon
console 1 hx.sendnotification 0 "x" 2147483648 1 1 1 1 icon
console 1 hx.sendnotification -x "x"
console 1 hx.sendnotification 0 "{"
-- seen
0 +/rules
0 load "nobody"
0 1: server [1 0 0 1] Heraldix: Error trying to send the message
0 1: server [1 0 0 1] Heraldix: Error trying to send the message
0 1: server [1 0 0 1] Heraldix: Error trying to send the message
0 1: server [1 0 0 1] Heraldix: Error trying to send the message
0 load "{"
0 1: server [1 0 0 1] Heraldix: Error trying to send the message
0 -/rules

== sendnotification, over RCON
-- config.json
{
  "Heraldix": {"ServerMessageColor": {"R": 0, "G": 0, "B": 255}, "ClientChatColour": {"R": 255, "G": 0, "B": 255},
               "NotificationColor": {"R": 0, "G": 255, "B": 255}, "NotificationDisplayScale": 3, "NotificationDisplayTime": 12},
  "CustomCommands": {"/rules": {"Message": "Be nice", "Type": "Server", "MessageColor": [255, 255, 255]}}}
-- scenario
join 1 Alice
join 2 Bob
rcon hx.sendnotification 99 "nobody"
rcon hx.sendnotification 0 "x" 2 ten 1 1 1 icon
rcon hx.sendnotification 0 "x" 2147483648 1 1 1 1 icon
rcon hx.sendnotification -x "x"
rcon hx.sendnotification 0 "{"
-- seen
0 +/rules
0 load "nobody"
0 rcon id 1 type 0: Heraldix: Error trying to send the message
0 rcon id 2 type 0: Heraldix: Error trying to send the message
0 rcon id 3 type 0: Heraldix: Error trying to send the message
0 rcon id 4 type 0: Heraldix: Error trying to send the message
0 load "{"
0 rcon id 5 type 0: Heraldix: Error trying to send the message
0 -/rules

== chatasplayer, on the console
-- config.json
{
  "Heraldix": {"ServerMessageColor": {"R": 0, "G": 0, "B": 255}, "ClientChatColour": {"R": 255, "G": 0, "B": 255},
               "NotificationColor": {"R": 0, "G": 255, "B": 255}, "NotificationDisplayScale": 3, "NotificationDisplayTime": 12},
  "CustomCommands": {"/rules": {"Message": "Be nice", "Type": "Server", "MessageColor": [255, 255, 255]}}}
-- scenario
join 1 Alice
join 2 Bob
leave 2
# left
console 1 hx.chatasplayer 2 0 "gone"
# never here
console 1 hx.chatasplayer 99 0 "never"
# no message
console 1 hx.chatasplayer 1 0
# empty message
console 1 hx.chatasplayer 1 0 ""
# no send mode
console 1 hx.chatasplayer 1
console 1 hx.chatasplayer
console 1 hx.chatasplayer x 0 "m"
console 1 hx.chatasplayer 1 mode "m"
console 1 hx.chatasplayer 1 2147483648 "m"
-- seen
0 +/rules
0 1: server [1 0 0 1] HX: There was an error, (player offline?)
0 1: server [1 0 0 1] HX: There was an error, (player offline?)
0 1: server [1 0 0 1] HX: There was an error, (player offline?)
0 1: server [1 0 0 1] HX: There was an error, (player offline?)
0 1: server [1 0 0 1] HX: There was an error, (player offline?)
0 1: server [1 0 0 1] HX: There was an error, (player offline?)
0 1: server [1 0 0 1] HX: There was an error, (player offline?)
0 1: server [1 0 0 1] HX: There was an error, (player offline?)
0 1: server [1 0 0 1] HX: There was an error, (player offline?)
0 -/rules

== chatasplayer, over RCON
-- config.json
{
  "Heraldix": {"ServerMessageColor": {"R": 0, "G": 0, "B": 255}, "ClientChatColour": {"R": 255, "G": 0, "B": 255},
               "NotificationColor": {"R": 0, "G": 255, "B": 255}, "NotificationDisplayScale": 3, "NotificationDisplayTime": 12},
  "CustomCommands": {"/rules": {"Message": "Be nice", "Type": "Server", "MessageColor": [255, 255, 255]}}}
-- scenario
join 1 Alice
join 2 Bob
leave 2
# left
rcon hx.chatasplayer 2 0 "gone"
# never here
rcon hx.chatasplayer 99 0 "never"
# no message
rcon hx.chatasplayer 1 0
# empty message
rcon hx.chatasplayer 1 0 ""
# no send mode
rcon hx.chatasplayer 1
rcon hx.chatasplayer
rcon hx.chatasplayer x 0 "m"
rcon hx.chatasplayer 1 mode "m"
rcon hx.chatasplayer 1 2147483648 "m"
-- seen
0 +/rules
0 rcon id 1 type 0: HX: There was an error, (player offline?)
0 rcon id 2 type 0: HX: There was an error, (player offline?)
0 rcon id 3 type 0: HX: There was an error, (player offline?)
0 rcon id 4 type 0: HX: There was an error, (player offline?)
0 rcon id 5 type 0: HX: There was an error, (player offline?)
0 rcon id 6 type 0: HX: There was an error, (player offline?)
0 rcon id 7 type 0: HX: There was an error, (player offline?)
0 rcon id 8 type 0: HX: There was an error, (player offline?)
0 rcon id 9 type 0: HX: There was an error, (player offline?)
0 -/rules
