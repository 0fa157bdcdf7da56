#!/bin/sh
# Runs page_test.mjs with playwright-core as package-lock.json pins it,
# installed with `npm ci` into MODULES (a folder of the build) when missing
# or pinned anew.
# usage: run_page_test.sh MODULES PAGE LJGAS_BATCH WORK_FOLDER
set -eu
here=$(cd "$(dirname "$0")" && pwd)
modules=$1
shift
if [ ! -f "$modules/node_modules/playwright-core/package.json" ] ||
   ! cmp -s "$here/package-lock.json" "$modules/package-lock.json"; then
    mkdir -p "$modules"
    cp "$here/package.json" "$here/package-lock.json" "$modules/"
    (cd "$modules" && npm ci --no-audit --no-fund --loglevel=error)
fi
LJGAS_NODE_MODULES="$modules/node_modules" exec node "$here/page_test.mjs" "$@"
