# Numbers on a command line are decimal, read after leading blanks and an optional sign up to the first
# non-digit, and none without a digit or beyond their width. A player id is unsigned 64-bit, where a negative id
# wraps modulo 2^64; an integer is signed 32-bit. An unread number fails the command.

-- shows server chat notification
-- config.json
{}

== a player id
-- scenario
# Each id reaches the player it reads as; Ann (255) and Fay (5) would be sent a misread "x255" or full-width five,
# and everyone a misread blank or lone sign.
join 42 Alice
join 255 Ann
join 5 Fay
join 12 Bob
join 18446744073709551615 Max
join 2147483648 D
# A tab, not a space, before +42 and as the whole blank id.
rcon hx.sendserver 	+42 "plus" 1 1 1
rcon hx.sendserver 12.9 "point" 1 1 1
rcon hx.sendserver -1 "minus one" 1 1 1
rcon hx.sendserver 2147483648 "2^31" 1 1 1
rcon hx.sendserver 18446744073709551615 "2^64-1" 1 1 1
rcon hx.sendserver 18446744073709551616 "2^64" 1 1 1
rcon hx.sendserver 	 "blank" 1 1 1
rcon hx.sendserver x255 "letter" 1 1 1
rcon hx.sendserver - "sign" 1 1 1
rcon hx.sendserver ５ "full-width" 1 1 1
-- seen
0 42: server [1 1 1] plus
0 12: server [1 1 1] point
0 18446744073709551615: server [1 1 1] minus one
0 2147483648: server [1 1 1] 2^31
0 18446744073709551615: server [1 1 1] 2^64-1

== an integer
-- scenario
# The display time is read without a numeric test first, so it shows each integer as read; the green channel
# shows the low byte of the largest and the smallest.
join 1 Alice
rcon hx.sendnotification 1 "minus one" 1 -1 0 -1 0 0
rcon hx.sendnotification 1 "2^31-1" 1 2147483647 0 2147483647 0 0
rcon hx.sendnotification 1 "2^31" 1 2147483648 0 0 0 0
rcon hx.sendnotification 1 "-2^31" 1 -2147483648 0 -2147483648 0 0
rcon hx.sendnotification 1 "-2^31-1" 1 -2147483649 0 0 0 0
-- seen
0 1: notification [0 255 0] scale 1 time -1 minus one
0 1: notification [0 255 0] scale 1 time 2.14748e+09 2^31-1
0 1: notification [0 0 0] scale 1 time -2.14748e+09 -2^31
