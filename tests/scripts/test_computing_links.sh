#!/bin/bash
# The computing code runs without the widget and browser stack: none of the
# given programs loads Qt Widgets or Qt WebEngine.
# usage: test_computing_links.sh PROGRAM...
set -euo pipefail
source "$(dirname "$0")/checks.sh"

loads_no_windows() { ! ldd "$1" | grep -E 'libQt6(Widgets|WebEngine)'; }
for program in "$@"; do
    check "$(basename "$program") loads no widget or browser library" loads_no_windows "$program"
done

if [ "$failures" != 0 ]; then
    exit 1
fi
