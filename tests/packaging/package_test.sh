#!/usr/bin/env bash
# cpack makes the drop-in archives and the heraldix-tools Debian package from the install rules. The
# archives hold the plug-in folder and nothing else; the .deb passes lintian, carries no path of the source
# or build tree, and its heraldix-sim works from an unpacked root with the build out of the picture.
#   package_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$1 build_dir=$2
fail() { echo "FAIL: $*"; exit 1; }
for tool in cpack dpkg-deb dpkg-shlibdeps unzip readelf ldd; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed (scripts/deps installs it)"; exit 0; }
done

packages=$build_dir/packages
rm -rf "$packages"
cpack --config "$build_dir/CPackConfig.cmake" -B "$packages" >"$build_dir/cpack.log" 2>&1 ||
  { cat "$build_dir/cpack.log"; fail "cpack failed"; }
shopt -s nullglob
tgz=("$packages"/*.tar.gz) zip=("$packages"/*.zip) deb=("$packages"/*.deb)
((${#tgz[@]} == 1 && ${#zip[@]} == 1 && ${#deb[@]} == 1)) || fail "expected one .tar.gz, .zip and .deb: $(ls "$packages")"
ls -l "${tgz[0]}" "${zip[0]}" "${deb[0]}"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
chmod 755 "$scratch"

# --- the drop-in archives ---
expected=$(printf '%s\n' TarrowApi/Plugins/Heraldix/{README,config.example.json,config.schema.json,libheraldix.so})
files=$(tar tzf "${tgz[0]}" | grep -v '/$' | sort)
[[ $files == "$expected" ]] || fail "the .tar.gz holds"$'\n'"$files"$'\n'"instead of"$'\n'"$expected"
files=$(unzip -Z1 "${zip[0]}" | grep -v '/$' | sort)
[[ $files == "$expected" ]] || fail "the .zip holds"$'\n'"$files"$'\n'"instead of"$'\n'"$expected"
mkdir "$scratch/server"
tar xzf "${tgz[0]}" -C "$scratch/server"
plugin=$scratch/server/TarrowApi/Plugins/Heraldix/libheraldix.so
! readelf -S "$plugin" | grep -q '\.debug_' || fail "the archive's plug-in is not stripped"
needed=$(readelf -d "$plugin" | sed -n 's/.*Shared library: \[\(.*\)\]/\1/p' | sort | tr '\n' ' ')
echo "the plug-in needs: $needed"
for library in libtarrowapi.so libpermissions.so libspdlog.so.1.10 libfmt.so.9; do
  [[ " $needed" == *" $library "* ]] || fail "the plug-in no longer needs $library: update the admin README"
done

# --- the Debian package ---
dpkg-deb -f "${deb[0]}" Package | grep -qx heraldix-tools || fail "the .deb is not heraldix-tools"
depends=$(dpkg-deb -f "${deb[0]}" Depends)
echo "Depends: $depends"
[[ $depends == *libspdlog1.10* && $depends == *libfmt9* && $depends == *libc6* ]] ||
  fail "Depends was not computed from the libraries"
if command -v lintian >/dev/null; then
  # Root would need --allow-root to unpack with lintian's own tools.
  lintian --allow-root --fail-on error,warning --info "${deb[0]}" || fail "lintian found errors or warnings"
  echo "lintian: no errors, no warnings"
else
  echo "lintian is not installed (scripts/deps installs it): not run"
fi

root=$scratch/root
dpkg-deb -x "${deb[0]}" "$root"
for file in usr/bin/heraldix-sim usr/lib/heraldix/libheraldix.so usr/lib/heraldix/libtarrowapi.so \
  usr/share/heraldix/server/TarrowApi/Plugins/Heraldix/config.json usr/share/heraldix/demo.scenario \
  usr/share/man/man1/heraldix-sim.1.gz usr/share/doc/heraldix-tools/copyright usr/share/doc/heraldix-tools/changelog.gz; do
  [[ -e $root/$file ]] || fail "the .deb has no /$file"
done
shipped_db=("$root"/usr/share/heraldix/server/TarrowApi/Plugins/Heraldix/players.db*)
((${#shipped_db[@]} == 0)) || fail "the .deb ships a players' database: ${shipped_db[*]}"
leaks=$(grep -rlaF -e "$source_dir/" -e "$build_dir/" "$root" || true)
[[ -z $leaks ]] || fail "installed files name the source or build tree: $leaks"

# The unpacked program, run from the unpacked root, with nothing pointing into the build.
cd "$root"
unset LD_LIBRARY_PATH LD_PRELOAD
for file in usr/bin/heraldix-sim usr/lib/heraldix/libheraldix.so; do
  resolved=$(ldd "$file")
  host=$(sed -n 's/^\s*libtarrowapi.so => \(.*\) (0x.*/\1/p' <<<"$resolved")
  [[ -n $host && $(realpath "$host") == "$root/usr/lib/heraldix/libtarrowapi.so" ]] ||
    fail "$file does not load the host from the package: $resolved"
  ! grep -q "not found" <<<"$resolved" || fail "$file misses libraries: $resolved"
  ! grep -qF "$build_dir" <<<"$resolved" || fail "$file loads from the build tree: $resolved"
done
help=$(usr/bin/heraldix-sim run --help)
grep -qF "$root/usr/lib/heraldix/libheraldix.so" <<<"$help" || fail "the default plug-in is not the package's: $help"
grep -qF "$root/usr/share/heraldix/server" <<<"$help" || fail "the default server is not the package's: $help"

check=$(usr/bin/heraldix-sim check) || fail "check of the shipped example failed: $check"
grep -qF "$root/usr/share/heraldix/server/TarrowApi/Plugins/Heraldix/config.json" <<<"$check" ||
  fail "check did not read the package's example: $check"
echo "heraldix-sim check works from $root"

# serve on the read-only example: a config line fails with a message, the players' database with one error
# in the log, and the server goes on; run plays the demo on it too.
as_user=()
if ((EUID == 0)); then
  command -v setpriv >/dev/null || { echo "setpriv missing: read-only serve not tried"; exit 0; }
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
else
  chmod -R a-w "$root/usr/share/heraldix"
fi
set +e
served=$(printf 'config-text {}\nconfig-rm\njoin 1 Alice\nquit\n' | "${as_user[@]}" usr/bin/heraldix-sim serve --json 2>&1)
status=$?
# run plays on a copy, so the plug-in keeps choices there; at most keeping them back fails, with a message.
ran=$("${as_user[@]}" usr/bin/heraldix-sim run --json usr/share/heraldix/demo.scenario 2>&1)
ran_status=$?
set -e
chmod -R u+w "$root"
((status == 0)) || fail "serve on the read-only example ended with $status: $served"
grep -q "stdin:1: cannot write $root/usr/share/heraldix/server/TarrowApi/Plugins/Heraldix/config.json: Permission denied" <<<"$served" ||
  fail "a config line on the read-only example gave no clear message: $served"
grep -q "stdin:2: cannot remove" <<<"$served" || fail "config-rm on the read-only example gave no clear message: $served"
kept=$(grep -c "Players' choices not kept" <<<"$served" || true)
((kept == 1)) || fail "the read-only example's players' database gave $kept errors instead of one: $served"
((ran_status == 0)) || fail "run of the read-only example ended with $ran_status (1: a fault): $ran"
echo "serve on the read-only example reports: $(grep -m1 'cannot write' <<<"$served")"
