# With greetings off, or a broken welcome section, a possession schedules nothing and the game goes on.

== {}
-- config.json
{}
-- scenario
join 1 Alice
wait 10
leave 1
-- seen

== {"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": false}}}
-- config.json
{"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": false}}}
-- scenario
join 1 Alice
wait 10
leave 1
-- seen

== {"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": 1}}}
-- config.json
{"Heraldix": {"WelcomeMessage": {"EnableWelcomeMessage": 1}}}
-- scenario
join 1 Alice
wait 10
leave 1
-- seen

== {"Heraldix": {"WelcomeMessage": []}}
-- config.json
{"Heraldix": {"WelcomeMessage": []}}
-- scenario
join 1 Alice
wait 10
leave 1
-- seen

== {"Heraldix": "x"}
-- config.json
{"Heraldix": "x"}
-- scenario
join 1 Alice
wait 10
leave 1
-- seen
