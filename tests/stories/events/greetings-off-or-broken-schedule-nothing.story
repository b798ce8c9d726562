# With greetings off, or a broken welcome section, a possession schedules nothing and the game goes on; the
# section repaired greets the next possession.

-- shows server chat notification

== each broken or off section in turn, then one that is on
-- config.json
{}
-- scenario
join 1 Alice
wait 10
config-text {"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": false}}}
rcon hx.reload
join 2 Bob
wait 10
config-text {"Heraldix": "x"}
rcon hx.reload
join 5 Eve
wait 10
config-text {"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": true}}}
rcon hx.reload
leave 1
join 6 Finn
wait 10
-- seen
35 6: chat Heraldix: <RichColor Color="0, 0, 0, 255">Welcome to the server Finn</>
