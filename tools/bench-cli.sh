#!/usr/bin/env bash
# Times the console program's `zaltrow list --json > file` on 2000 and 5000 entries,
# the whole process, next to the window's start-up to a filled list of the
# same entries: the refresh benchmark's seeding and start-up timing, in its
# prefix. Both are started the same way, from a process in the prefix.
exec bash "$(dirname "$0")/bench-refresh.sh" --cli
