#!/bin/bash
# Installs or refreshes the program's own files in the league's program
# folder: the page templates (HTML/temp_*.htm), TXT/BLANK.HTM, readme.htm
# and data/blank.mdb. The league database (Tarvik.MDB), published pages,
# fragments, points and earnings files are never touched, and neither is a
# program file the user has changed since it was installed: the folder's
# .tarvik-installed lists the checksum of every file as last installed.
#
# usage: install-program-folder.sh RUNTIME_DIR BLANK_MDB TARGET [OLD_FOLDER]
#   RUNTIME_DIR  the source tree's runtime/ folder (templates, readme.htm)
#   BLANK_MDB    the blank database the build made
#   TARGET       the program folder to install into
#   OLD_FOLDER   a folder the program used to run in (the build's bin/):
#                when TARGET holds no league database yet and this one
#                does, the league's files are copied from it first
set -euo pipefail

if (($# < 3 || $# > 4)); then
    echo "usage: $0 RUNTIME_DIR BLANK_MDB TARGET [OLD_FOLDER]" >&2
    exit 2
fi
runtime=$1
blank=$2
target=$3
old=${4:-}
manifest="$target/.tarvik-installed"

mkdir -p "$target/data" "$target/HTML" "$target/TXT" "$target/STN"

# A league that lived in the old folder moves along: every file of it that
# is not a program (executables stay), none overwritten. The old folder is
# left as it was.
if [ -n "$old" ] && [ -f "$old/Tarvik.MDB" ] && [ ! -e "$target/Tarvik.MDB" ]; then
    echo "Copying the league from $old to $target"
    (cd "$old" && find . -type f ! -perm -u+x -print0) | while IFS= read -r -d '' f; do
        f=${f#./}
        if [ ! -e "$target/$f" ]; then
            mkdir -p "$target/$(dirname "$f")"
            cp -p "$old/$f" "$target/$f"
        fi
    done
fi

sum() { sha256sum "$1" | cut -d' ' -f1; }

# Copies a file into place whole: a half-copied template is never left.
put() {
    cp "$1" "$2.new.$$"
    chmod u+w "$2.new.$$"
    mv -f "$2.new.$$" "$2"
}

# Checksums of the files as last installed, by path.
declare -A installed=()
if [ -f "$manifest" ]; then
    while IFS= read -r line; do
        installed["${line#* }"]=${line%% *}
    done <"$manifest"
fi

# The program's own files: path in the folder, then where the current
# version comes from.
files=("data/blank.mdb" "$blank" "readme.htm" "$runtime/readme.htm")
for dir in HTML TXT; do
    for f in "$runtime/$dir"/*; do
        case $(basename "$f") in .keep | '*') continue ;; esac
        files+=("$dir/$(basename "$f")" "$f")
    done
done

new_manifest=$(mktemp "$target/.tarvik-installed.XXXXXX")
trap 'rm -f "$new_manifest"' EXIT
for ((i = 0; i < ${#files[@]}; i += 2)); do
    rel=${files[i]}
    src=${files[i + 1]}
    dst="$target/$rel"
    shipped=$(sum "$src")
    if [ -e "$dst" ]; then
        have=$(sum "$dst")
        if [ "$have" != "$shipped" ]; then
            if [ "${installed[$rel]:-}" != "$have" ]; then
                # Changed since it was installed (or never installed by us).
                echo "Kept $dst as it is (changed since installed); this version's copy is $src"
                [ -n "${installed[$rel]:-}" ] && echo "${installed[$rel]} $rel" >>"$new_manifest"
                continue
            fi
            put "$src" "$dst"
        fi
    else
        put "$src" "$dst"
    fi
    echo "$shipped $rel" >>"$new_manifest"
done
chmod 644 "$new_manifest"
mv -f "$new_manifest" "$manifest"
trap - EXIT
