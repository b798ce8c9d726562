# A command's message is the text between the first double quote on its line and the next, or the end of the
# line when no second quote comes; the line is cut at quotes with empty pieces dropped.

-- shows server chat notification
-- config.json
{"Heraldix": {"ServerMessageColor": {"B": 255}, "ClientChatColour": {"G": 255}}}
-- scenario
join 1 Alice

== a quote never closed runs to the end of the line
-- scenario
rcon hx.sendserver 0 "runs to the end
-- seen
0 1: server [0 0 255] runs to the end

== after two quotes in a row the piece after them moves up
-- scenario
# The message is the blank between "" and "word", not "word".
rcon hx.sendchat 0 Admin "" "word"
-- seen
0 1: chat Admin: <RichColor Color="0, 1, 0, 1"> </>
