# A chat message of several lines wraps each line in its own markup and ends each with a line feed; one line
# has none. Blank lines are dropped, and a message of blank lines alone is empty.

-- shows server chat

== each line its own markup, blank lines dropped
-- config.json
{"CustomCommands": {"/ab": {"Message": "a\n\nb\n", "Sender": "S", "MessageColor": [1, 0, 0]},
  "/only": {"Message": "\nonly\n\n", "Sender": "S", "MessageColor": [1, 0, 0]},
  "/blank": {"Message": "\n\n", "Sender": "", "MessageColor": [255, 0, 0]}}}
-- scenario
join 1 Alice
join 2 Bob
chat 1 /ab
chat 1 /only
chat 1 /blank
-- seen
0 1: chat S: <RichColor Color="1, 0, 0, 255">a</>\n<RichColor Color="1, 0, 0, 255">b</>\n
0 1: chat S: <RichColor Color="1, 0, 0, 255">only</>
0 1: chat : 
