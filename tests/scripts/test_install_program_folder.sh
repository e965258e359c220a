#!/bin/bash
# The program folder install (scripts/install-program-folder.sh): a second
# install refreshes the program's own files and keeps the league database,
# published pages and an edited template; a league that lived in the old
# folder moves along once.
# usage: test_install_program_folder.sh INSTALL_SCRIPT RUNTIME_DIR BLANK_MDB
set -euo pipefail
install=$1
runtime=$2
blank=$3

source "$(dirname "$0")/checks.sh"
same() { cmp -s "$1" "$2"; }

# Two versions of the program's files: v2 changes two templates, the
# fragment shown before any standings, the guide and the blank database.
cp -r "$runtime" "$tmp/v1"
cp "$blank" "$tmp/v1.mdb"
cp -r "$runtime" "$tmp/v2"
cp "$blank" "$tmp/v2.mdb"
printf '\n<!-- v2 -->\n' >>"$tmp/v2/HTML/temp_result.htm"
printf '\n<!-- v2 -->\n' >>"$tmp/v2/HTML/temp_schedule.htm"
printf '\n<!-- v2 -->\n' >>"$tmp/v2/TXT/BLANK.HTM"
printf '\n<!-- v2 -->\n' >>"$tmp/v2/readme.htm"
printf 'v2' >>"$tmp/v2.mdb"

home="$tmp/league folder"
bash "$install" "$tmp/v1" "$tmp/v1.mdb" "$home" >/dev/null
for f in HTML/temp_result.htm HTML/temp_schedule.htm HTML/temp_standings.htm HTML/temp_statistics.htm \
         HTML/temp_records.htm TXT/BLANK.HTM readme.htm; do
    check "first install: $f" same "$tmp/v1/$f" "$home/$f"
done
check "first install: data/blank.mdb" same "$tmp/v1.mdb" "$home/data/blank.mdb"
check "first install: STN/" test -d "$home/STN"
check "first install: no league database made" test ! -e "$home/Tarvik.MDB"

# The league at work: its database, pages, fragments, a points file, and
# the user's own result template.
printf 'league data' >"$home/Tarvik.MDB"
printf '<html>page</html>' >"$home/HTML/D1_standings.htm"
printf 'fragment' >"$home/TXT/001D1Stan.htm"
printf '1 43\n2 38\n' >"$home/points.txt"
printf '\n<!-- mine -->\n' >>"$home/HTML/temp_result.htm"
printf '\n<!-- mine -->\n' >>"$home/HTML/temp_records.htm"
for f in Tarvik.MDB HTML/D1_standings.htm TXT/001D1Stan.htm points.txt HTML/temp_result.htm HTML/temp_records.htm; do
    mkdir -p "$tmp/before/$(dirname "$f")"
    cp "$home/$f" "$tmp/before/$f"
done

for round in second third; do
    out=$(bash "$install" "$tmp/v2" "$tmp/v2.mdb" "$home")
    for f in Tarvik.MDB HTML/D1_standings.htm TXT/001D1Stan.htm points.txt; do
        check "$round install keeps $f" same "$tmp/before/$f" "$home/$f"
    done
    check "$round install keeps the edited template" same "$tmp/before/HTML/temp_result.htm" "$home/HTML/temp_result.htm"
    check "$round install keeps the edited template v2 leaves alone" \
        same "$tmp/before/HTML/temp_records.htm" "$home/HTML/temp_records.htm"
    check "$round install says the template was kept" grep -q "Kept .*temp_result.htm" <<<"$out"
    check "$round install refreshes an unedited template" same "$tmp/v2/HTML/temp_schedule.htm" "$home/HTML/temp_schedule.htm"
    check "$round install refreshes BLANK.HTM" same "$tmp/v2/TXT/BLANK.HTM" "$home/TXT/BLANK.HTM"
    check "$round install refreshes readme.htm" same "$tmp/v2/readme.htm" "$home/readme.htm"
    check "$round install refreshes data/blank.mdb" same "$tmp/v2.mdb" "$home/data/blank.mdb"
done
check "nothing half-copied is left" test -z "$(find "$home" -name '*.new.*' -o -name '.tarvik-installed.*')"

# A template put back as it was installed is refreshed again.
cp "$tmp/v1/HTML/temp_records.htm" "$home/HTML/temp_records.htm"
printf '\n<!-- v3 -->\n' >>"$tmp/v2/HTML/temp_records.htm"
bash "$install" "$tmp/v2" "$tmp/v2.mdb" "$home" >/dev/null
check "a template no longer edited follows the program again" same "$tmp/v2/HTML/temp_records.htm" "$home/HTML/temp_records.htm"

# The league in the old folder (the build's bin/) moves along once; the
# programs there stay, so does the old folder.
old="$tmp/bin"
mkdir -p "$old/HTML" "$old/TXT" "$old/data"
printf 'old league' >"$old/Tarvik.MDB"
printf '<html>old page</html>' >"$old/HTML/D1_result.htm"
cp "$tmp/v1/HTML/temp_standings.htm" "$old/HTML/temp_standings.htm"
cp "$tmp/v1/HTML/temp_schedule.htm" "$old/HTML/temp_schedule.htm"
printf '\n<!-- old edit -->\n' >>"$old/HTML/temp_schedule.htm"
printf 'earnings' >"$old/earn.txt"
cp "$tmp/v1.mdb" "$old/data/blank.mdb"
printf '#!/bin/sh\n' >"$old/tarvik"
chmod +x "$old/tarvik"
cp -r "$old" "$tmp/old-before"
moved="$tmp/moved"
bash "$install" "$tmp/v2" "$tmp/v2.mdb" "$moved" "$old" >/dev/null
check "old folder: database moved" same "$old/Tarvik.MDB" "$moved/Tarvik.MDB"
check "old folder: page moved" same "$old/HTML/D1_result.htm" "$moved/HTML/D1_result.htm"
check "old folder: earnings file moved" same "$old/earn.txt" "$moved/earn.txt"
check "old folder: edited template kept" same "$old/HTML/temp_schedule.htm" "$moved/HTML/temp_schedule.htm"
check "old folder: unedited template refreshed" same "$tmp/v2/HTML/temp_result.htm" "$moved/HTML/temp_result.htm"
check "old folder: programs not copied" test ! -e "$moved/tarvik"
check "old folder: left as it was" diff -r "$tmp/old-before" "$old"
# Once the new folder has its league, the old folder is not read again.
printf 'newer' >"$moved/Tarvik.MDB"
bash "$install" "$tmp/v2" "$tmp/v2.mdb" "$moved" "$old" >/dev/null
check "old folder: not copied a second time" grep -q newer "$moved/Tarvik.MDB"

if ((failures)); then
    echo "$failures check(s) failed"
    exit 1
fi
