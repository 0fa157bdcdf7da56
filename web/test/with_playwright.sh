#!/bin/sh
# Runs a Node.js SCRIPT of web/test or bench/web with playwright-core as
# web/test/package-lock.json pins it, installed with `npm ci` into MODULES (a
# folder of the build) when missing or pinned anew.
# usage: with_playwright.sh MODULES SCRIPT [ARGUMENT...]
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
LJGAS_NODE_MODULES="$modules/node_modules" exec node "$@"
