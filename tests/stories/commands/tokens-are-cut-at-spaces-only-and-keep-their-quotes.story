# A command line is cut into tokens at spaces only: a run of spaces cuts once, a tab is part of its token and
# quotes stay inside theirs. A token is numeric with an optional sign, digits and at most one point, so a lone
# sign or point passes and then reads no digit; positions counted back past the first token are not numeric.

-- shows server chat notification
-- config.json
{"Heraldix": {"ServerMessageColor": {"B": 255}, "ClientChatColour": {"G": 255}}}
-- scenario
join 1 Alice

== runs of spaces cut as one, a tab cuts nothing
-- scenario
join 2 Bob
# Three spaces before the id and two before the 1; a tab before 255. The last three tokens are '"two',
# 'words"<tab>255' and '1', so the colour is the configured one.
rcon hx.sendserver   0 "two words"	255  1
# The tab keeps "2<tab>Admin" one token, the id 2; token 2 opens with a quote, so the sender is Heraldix.
rcon hx.sendchat 2	Admin "x"
-- seen
0 1: server [0 0 255] two words
0 2: server [0 0 255] two words
0 2: chat Heraldix: <RichColor Color="0, 1, 0, 1">x</>

== quotes stay inside their tokens
-- scenario
join 2 Bob
rcon hx.sendchat 2 Ad"min x" 255 0 0
# A sender token opening with a quote is the message.
rcon hx.sendchat 2 "Admin" "x"
-- seen
0 2: chat Ad"min: <RichColor Color="1, 0, 0, 1">min x</>
0 2: chat Heraldix: <RichColor Color="0, 1, 0, 1">Admin</>

== a lone sign or point is numeric and then reads no digit
-- shows server rcon
-- scenario
# Not numeric, they would leave the colour to the configuration; numeric, they fail the read.
rcon hx.sendserver 1 "x" 0 - 0
rcon hx.sendserver 1 "x" 0 . 0
-- seen
0 rcon id 1 type 0: Heraldix: Error trying to send the message
0 rcon id 2 type 0: Heraldix: Error trying to send the message


== a point is numeric, an exponent or letters are not
-- scenario
rcon hx.sendserver 1 "point" 255 12.5 0
rcon hx.sendserver 1 "exp" 255 0 1e5
rcon hx.sendserver 1 "letters" 255 0 12abc
-- seen
0 1: server [255 12 0] point
0 1: server [0 0 255] exp
0 1: server [0 0 255] letters

== positions before the first token are not numeric
-- scenario
# Two tokens: the colour's first token would be position -1.
rcon hx.sendserver 1"x"
-- seen
0 1: server [0 0 255] x
