# A command's message is the text between the first double quote on its line and the next, or the end of the
# line when no second quote comes; the line is cut at quotes with empty pieces dropped.

-- shows server chat notification rcon answer
-- config.json
{"Heraldix": {"ServerMessageColor": {"B": 255}, "ClientChatColour": {"G": 255}}}
-- scenario
join 1 Alice

== the text between the first quote and the next
-- scenario
console 1 hx.sendserver 0 "Hello world" 255 0 0
-- seen
0 1: server [255 0 0] Hello world
0 1: server [0 255 0] Heraldix: Successfully sent message to everyone

== a quote never closed runs to the end of the line
-- scenario
console 1 hx.sendserver 0 "runs to the end
-- seen
0 1: server [0 0 255] runs to the end
0 1: server [0 255 0] Heraldix: Successfully sent message to everyone

== no quotes, no message, nothing sent
-- scenario
# The configured colour is sound, so the refusal is the empty message's.
console 1 hx.sendserver 0 no quotes
-- seen
0 1: server [255 0 0] Heraldix: Error trying to send the message

== after two quotes in a row the piece after them moves up
-- scenario
# The message is the blank between "" and "word", not "word".
console 1 hx.sendchat 0 Admin "" "word"
-- seen
0 1: chat Admin: <RichColor Color="0, 1, 0, 1"> </>
0 1: server [0 255 0] Heraldix: Successfully sent message to everyone
