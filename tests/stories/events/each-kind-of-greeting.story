# Each kind of greeting: a notification with its look, a server message, and chat for any other kind; the name
# goes into the template once its braces are paired.

-- shows server chat notification load

== a notification with its look
-- config.json
{"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true, "WelcomeMessageType": "Notification", "NotificationDisplayScale": 2,
  "NotificationDisplayTime": 4, "Icon_BP": "/Game/Hello"}}}
-- scenario
texture /Game/Hello
join 1 Alice
wait 5
-- seen
5 load /Game/Hello
5 1: notification [0 0 0] scale 2 time 4 icon /Game/Hello Welcome to the server Alice

== a notification by default
-- config.json
{"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true, "WelcomeMessageType": "Notification"}}}
-- scenario
# No icon is configured: the texture asked for has an empty path ("load " ends in a space).
join 1 Alice
wait 5
-- seen
5 load 
5 1: notification [0 0 0] scale 1 time 10 Welcome to the server Alice

== any other kind is chat, in the welcome's colour
-- config.json
{"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true, "WelcomeMessageType": "chat", "WelcomeMessageColour": {"R": 255}}}}
-- scenario
join 1 Alice
wait 5
-- seen
5 1: chat Heraldix: <RichColor Color="1, 0, 0, 1">Welcome to the server Alice</>

== names and senders outside ASCII
-- config.json
{"Heraldix": {"ClientChatSenderName": "H\u00e9rault",
  "WelcomeMessage": {"EnableWelcomeMessage": true, "Message": "Gr\u00fc\u00df dich, {0}!"}}}
-- scenario
join 1 Zoë日
wait 5
-- seen
5 1: chat H??rault: <RichColor Color="0, 0, 0, 255">Grüß dich, Zoë日!</>

== braces in the template are paired once, and a brace left after that pass sends nothing
-- config.json
{"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true, "WelcomeMessageType": "Server", "Message": "{{{{{0}}}}} and {{x}}"}}}
-- scenario
# "{x}" survives the first pass and the delivery rejects it; without it the next player is greeted.
join 1 Alice
wait 5
config-text {"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true, "WelcomeMessageType": "Server", "Message": "{{{{{0}}}}}"}}}
rcon hx.reload
join 2 Bob
wait 5
-- seen
10 2: server [0 0 0] {Bob}

== a brace in a name
-- config.json
{"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true, "WelcomeMessageType": "Server"}}}
-- scenario
# A brace in one name costs only that player the greeting; the queue empties all the same.
join 1 Al{ice
join 2 Bob
wait 5
wait 10
-- seen
5 2: server [0 0 0] Welcome to the server Bob
