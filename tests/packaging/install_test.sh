#!/usr/bin/env bash
# `cmake --install` over a server lays out the plug-in folder, and a second install (an upgrade) keeps the
# admin's config.json while it refreshes the example and the schema; DESTDIR staging is honoured.
#   install_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$1 build_dir=$2
example=$source_dir/examples/server/TarrowApi/Plugins/Heraldix
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

server=$scratch/server
dir=$server/TarrowApi/Plugins/Heraldix
cmake --install "$build_dir" --prefix "$server" >"$scratch/first.log"
for file in libheraldix.so config.json config.example.json config.schema.json README; do
  [[ -f $dir/$file ]] || fail "first install made no $dir/$file"
done
cmp -s "$dir/config.json" "$example/config.json" || fail "config.json of a first install is not the example"
if readelf -d "$dir/libheraldix.so" | grep -qE 'RPATH|RUNPATH'; then
  fail "the server's plug-in looks for libraries in paths of its own: $(readelf -d "$dir/libheraldix.so" | grep PATH)"
fi
leftovers=$(cd "$server" && ls -A | grep -vx TarrowApi || true)
[[ -z $leftovers ]] || fail "a server install also made: $leftovers"

# The admin edits the configuration; the old example and schema are out of date.
printf '{ "Heraldix": { "ClientChatSenderName": "Edited by the admin" } }\n' >"$dir/config.json"
cp "$dir/config.json" "$scratch/edited.json"
echo '{}' >"$dir/config.example.json"
echo '{}' >"$dir/config.schema.json"
cmake --install "$build_dir" --prefix "$server" >"$scratch/second.log"
cmp -s "$dir/config.json" "$scratch/edited.json" || fail "the upgrade changed the admin's config.json"
cmp -s "$dir/config.example.json" "$example/config.json" || fail "the upgrade did not refresh config.example.json"
cmp -s "$dir/config.schema.json" "$example/config.schema.json" || fail "the upgrade did not refresh config.schema.json"
grep -q "Kept: $dir/config.json" "$scratch/second.log" || fail "the upgrade did not say it kept config.json"
grep -q '"\$schema": "./config.schema.json"' "$dir/config.example.json" || fail "the example lost its \$schema key"

# Staged with DESTDIR, the file that counts is the staged one, not the one at the prefix itself: the
# server at $server has a config.json, the staging tree does not yet.
DESTDIR=$scratch/stage cmake --install "$build_dir" --prefix "$server" >"$scratch/staged.log"
cmp -s "$scratch/stage$dir/config.json" "$example/config.json" || fail "a staged install made no config.json"
printf '{ "staged": true }\n' >"$scratch/stage$dir/config.json"
DESTDIR=$scratch/stage cmake --install "$build_dir" --prefix "$server" >"$scratch/staged-again.log"
grep -q staged "$scratch/stage$dir/config.json" || fail "a staged upgrade changed the staged config.json"
cmp -s "$dir/config.json" "$scratch/edited.json" || fail "a staged install touched the real server"
echo "install keeps config.json, refreshes config.example.json and config.schema.json"
