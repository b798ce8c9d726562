# The send commands and hx.chatasplayer deliver what the command line and the configuration say, with Alice (1)
# and Bob (2) online; an administrator's commands are played once typed by Alice on the console and once over RCON.

-- shows server chat notification rcon answer say load
-- config.json
{
  "Heraldix": {"ServerMessageColor": {"R": 0, "G": 0, "B": 255}, "ClientChatColour": {"R": 255, "G": 0, "B": 255},
               "NotificationColor": {"R": 0, "G": 255, "B": 255}, "NotificationDisplayScale": 3, "NotificationDisplayTime": 12}}
-- scenario
join 1 Alice
join 2 Bob

== sendserver to everyone, then to one player in the configured colour
-- scenario
admin hx.sendserver 0 "Hello all" 255 128 0
admin hx.sendserver 2 "Hi Bob"
-- seen
0 1: server [255 128 0] Hello all
0 2: server [255 128 0] Hello all
0 answer: Heraldix: Successfully sent message to everyone
0 2: server [0 0 255] Hi Bob
0 answer: Heraldix: Successfully sent message to player

== sendchat to everyone, then to one player in the configured colour
-- scenario
admin hx.sendchat 0 Admin "Hi" 255 255 0
admin hx.sendchat 2 Mod "Just you"
-- seen
0 1: chat Admin: <RichColor Color="1, 1, 0, 1">Hi</>
0 2: chat Admin: <RichColor Color="1, 1, 0, 1">Hi</>
0 answer: Heraldix: Successfully sent message to everyone
0 2: chat Mod: <RichColor Color="1, 0, 1, 1">Just you</>
0 answer: Heraldix: Successfully sent message to player

== sendnotification takes numbers and icon from the line
-- scenario
texture /Game/Icons/Star.Star
admin hx.sendnotification 0 "Msg" 2 10 255 255 0 /Game/Icons/Star.Star
admin hx.sendnotification 2 "Only Bob" 1 5 0 0 255 /Game/None
-- seen
0 load /Game/Icons/Star.Star
0 1: notification [255 255 0] scale 2 time 10 icon /Game/Icons/Star.Star Msg
0 2: notification [255 255 0] scale 2 time 10 icon /Game/Icons/Star.Star Msg
0 answer: Heraldix: Successfully sent message to everyone
0 load /Game/None
0 2: notification [0 0 255] scale 1 time 5 Only Bob
0 answer: Heraldix: Successfully sent message to player

== sendnotification without an icon takes the configured values and asks for no texture
-- scenario
console 1 hx.sendnotification 2 "Msg" 2 10 255 255 0
-- seen
0 2: notification [0 255 255] scale 3 time 12 Msg
0 1: server [0 255 0] Heraldix: Successfully sent message to player

== a bare sendnotification sends an empty notification to everyone, its name for an icon
-- scenario
# the notifications' empty text leaves each of their seen lines ending in a space
console 1 hx.sendnotification
-- seen
0 load hx.sendnotification
0 1: notification [0 255 255] scale 3 time 12 
0 2: notification [0 255 255] scale 3 time 12 
0 1: server [0 255 0] Heraldix: Successfully sent message to everyone

== configured values of the wrong type fail the command, values the line gives need none
-- config.json
{"Heraldix": {"ServerMessageColor": "red", "ClientChatColour": [1, 2, 3],
           "NotificationDisplayScale": "big", "NotificationColor": {"R": null}}}
-- scenario
console 1 hx.sendserver 2 "s"
console 1 hx.sendchat 2 Admin "c"
console 1 hx.sendnotification 2 "n"
console 1 hx.sendserver 2 "given" 1 2 3
-- seen
0 1: server [255 0 0] Heraldix: Error trying to send the message
0 1: server [255 0 0] Heraldix: Error trying to send the message
0 1: server [255 0 0] Heraldix: Error trying to send the message
0 2: server [1 2 3] given
0 1: server [0 255 0] Heraldix: Successfully sent message to player

== a document that is not an object fails every configured read
-- config.json
[1, 2]
-- scenario
console 1 hx.sendserver 0 "s"
-- seen
0 1: server [255 0 0] Heraldix: Error trying to send the message

== commands typed without an issuer send and answer nothing, unlike one an administrator types
-- scenario
console none hx.sendserver 0 "s"
console none hx.sendchat 0 A "c"
console none hx.sendnotification 0 "n"
console none hx.chatasplayer 2 0 "said"
admin hx.sendserver 2 "typed by an administrator"
-- seen
0 2: server [0 0 255] typed by an administrator
0 answer: Heraldix: Successfully sent message to player

== chatasplayer makes an online player say the line, unformatted, in the mode given
-- scenario
admin hx.chatasplayer 2 3 "{not formatted} 100%"
-- seen
0 say from 2 mode 3: {not formatted} 100%
0 answer: HX: Successfully chatted as player
