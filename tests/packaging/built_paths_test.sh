#!/usr/bin/env bash
# Every path of a built file the README names (in its command blocks, and the packages its tables list) or
# scripts/demo runs exists once this build is done and its packages are made, so the documented commands
# cannot drift from what the build makes.
#   built_paths_test.sh SOURCE_DIR BUILD_DIR [RELATIVE_PATH...]
# A path under another preset's tree (build/fuzz/..., build/release/...) is looked up in this build's tree;
# the RELATIVE_PATHs are programs only another preset builds (the fuzz targets), accepted there.
set -euo pipefail
source_dir=$1 build_dir=$2
shift 2
declare -A elsewhere=()
for path in "$@"; do elsewhere[$path]=1; done

presets=" $(sed -n 's#.*"binaryDir": *"${sourceDir}/build/\([^"/]*\)".*#\1#p' "$source_dir/CMakePresets.json" | tr '\n' ' ')"
this_preset=$(basename "$build_dir")

# The README's fenced blocks and code spans, then the demo script whole, each line with where it came from.
mentions=$(
  awk '/^```/ { inside = !inside; next } inside || /`build\// { print "README.md:" FNR ": " $0 }' "$source_dir/README.md"
  awk '{ print "scripts/demo:" FNR ": " $0 }' "$source_dir/scripts/demo"
)

checked=0 failed=0 demo_seen=0
while IFS= read -r mention; do
  place=${mention%%: *}
  text=${mention#*: }
  for path in $(grep -oE '(^|[^A-Za-z0-9_./-])build/[A-Za-z0-9_.+-]+(/[A-Za-z0-9_.+-]+)*' <<<"$text" | sed -E 's#^[^b]##'); do
    checked=$((checked + 1))
    [[ $place == scripts/demo:* ]] && demo_seen=1
    preset=$(cut -d/ -f2 <<<"$path")
    relative=$(cut -s -d/ -f3- <<<"$path")
    if [[ $presets != *" $preset "* ]]; then
      echo "$place: $path: no preset builds into build/$preset (presets:$presets)"
      failed=1
    elif [[ -z $relative || -e $build_dir/$relative ]]; then
      echo "ok $path"
    elif [[ $preset != "$this_preset" && -n ${elsewhere[$relative]:-} ]]; then
      echo "ok $path (built by the $preset preset only)"
    else
      echo "$place: $path: the build makes no $build_dir/$relative"
      failed=1
    fi
  done
done <<<"$mentions"

# Package files the README names by themselves (to unpack or install) are what cpack made.
for name in $(grep -oE 'heraldix(-tools)?[-_][0-9][A-Za-z0-9_.+-]*\.(tar\.gz|zip|deb)' "$source_dir/README.md" | sort -u); do
  checked=$((checked + 1))
  if [[ -e $build_dir/packages/$name ]]; then
    echo "ok $name"
  else
    echo "README.md: $name: cpack made no such package (made: $(ls "$build_dir/packages" 2>/dev/null | grep -v _CPack | tr '\n' ' '))"
    failed=1
  fi
done

if ((demo_seen == 0)); then
  echo "scripts/demo: runs no program of the build"
  failed=1
fi
echo "$checked paths checked"
exit $failed
