# A command line is cut into tokens at spaces only: a run of spaces cuts once, a tab is part of its token and
# quotes stay inside theirs. A token is numeric with an optional sign, digits and at most one point, so a lone
# sign or point passes and then reads no digit; positions counted back past the first token are not numeric.

-- shows server chat notification rcon answer
-- config.json
{"Heraldix": {"ServerMessageColor": {"B": 255}, "ClientChatColour": {"G": 255}}}
-- scenario
join 1 Alice

== runs of spaces cut as one, a tab cuts nothing
-- scenario
join 2 Bob
# Three spaces before the id and two before the 1; a tab before 255. The last three tokens are '"two',
# 'words"<tab>255' and '1', so the colour is the configured one.
console 1 hx.sendserver   0 "two words"	255  1
# The tab keeps "2<tab>Admin" one token, the id 2; token 2 opens with a quote, so the sender is Heraldix.
console 1 hx.sendchat 2	Admin "x"
-- seen
0 1: server [0 0 255] two words
0 2: server [0 0 255] two words
0 1: server [0 255 0] Heraldix: Successfully sent message to everyone
0 2: chat Heraldix: <RichColor Color="0, 1, 0, 1">x</>
0 1: server [0 255 0] Heraldix: Successfully sent message to player

== quotes stay inside their tokens
-- scenario
join 2 Bob
console 1 hx.sendchat 2 Ad"min x" 255 0 0
# A sender token opening with a quote is the message.
console 1 hx.sendchat 2 "Admin" "x"
-- seen
0 2: chat Ad"min: <RichColor Color="1, 0, 0, 1">min x</>
0 1: server [0 255 0] Heraldix: Successfully sent message to player
0 2: chat Heraldix: <RichColor Color="0, 1, 0, 1">Admin</>
0 1: server [0 255 0] Heraldix: Successfully sent message to player

== a lone sign or point is numeric and then reads no digit
-- scenario
# Not numeric, they would leave the colour to the configuration; numeric, they fail the read.
console 1 hx.sendserver 1 "x" 0 - 0
console 1 hx.sendserver 1 "x" 0 . 0
console 1 hx.sendserver 1 "x" 0 0 +
-- seen
0 1: server [255 0 0] Heraldix: Error trying to send the message
0 1: server [255 0 0] Heraldix: Error trying to send the message
0 1: server [255 0 0] Heraldix: Error trying to send the message

== a point is numeric, an exponent or letters are not
-- scenario
console 1 hx.sendserver 1 "point" 255 12.5 0
console 1 hx.sendserver 1 "exp" 255 0 1e5
console 1 hx.sendserver 1 "letters" 255 0 12abc
-- seen
0 1: server [255 12 0] point
0 1: server [0 255 0] Heraldix: Successfully sent message to player
0 1: server [0 0 255] exp
0 1: server [0 255 0] Heraldix: Successfully sent message to player
0 1: server [0 0 255] letters
0 1: server [0 255 0] Heraldix: Successfully sent message to player

== positions before the first token are not numeric
-- scenario
# Two tokens: the colour's first token would be position -1.
console 1 hx.sendserver 1"x"
# Five tokens: the scale's would be position -1, so every number is the configured one.
console 1 hx.sendnotification 1 2 3 4
-- seen
0 1: server [0 0 255] x
0 1: server [0 255 0] Heraldix: Successfully sent message to player
0 1: notification [0 0 0] scale 0 time 0 
0 1: server [0 255 0] Heraldix: Successfully sent message to player
