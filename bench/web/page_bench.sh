#!/bin/sh
# The page's benchmark (bench/web/page_bench.mjs) in headless Chromium, from
# the top of the source tree after a release build:
#   bench/web/page_bench.sh [SECONDS]
set -eu
exec sh web/test/with_playwright.sh build/node-modules bench/web/page_bench.mjs build/web/ljgas.html "${1:-10}"
