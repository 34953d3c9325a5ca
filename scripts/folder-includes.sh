#!/bin/sh
# Prints which source folders include headers from which others, one
# "from -> to (count)" line each. With --check it also fails (exit 1) on any
# include of a folder that is not below the includer in LAYERS, which keeps
# the folders free of circles: each depends only on those before it.
set -eu
LAYERS="ioport platform station windows schedule settings history logs receiver audition backup recording export
io console app"
cd "$(dirname "$0")/../src"
edges=$(grep -rHo '^#include "[a-z_]*/' --include='*.cpp' --include='*.h' . |
    sed -E 's|^\./([a-z_]+)/[^:]*:#include "([a-z_]+)/|\1 \2|' |
    awk '$1 != $2' | sort | uniq -c | awk '{print $2" "$3" "$1}')
echo "$edges" | awk '{print $1" -> "$2" ("$3")"}'
[ "${1:-}" = "--check" ] || exit 0
rank() {
    n=0
    for layer in $LAYERS; do
        n=$((n + 1))
        [ "$layer" = "$1" ] && { echo $n; return; }
    done
    echo 0
}
bad=0
for dir in */; do
    dir=${dir%/}
    [ "$(rank "$dir")" -gt 0 ] || { echo "folder $dir is not in the layering" >&2; bad=1; }
done
echo "$edges" | {
    while read -r from to _; do
        if [ "$(rank "$to")" -ge "$(rank "$from")" ]; then
            echo "$from includes $to, which is not below it" >&2
            bad=1
        fi
    done
    exit $bad
} || bad=1
exit $bad
