#!/bin/sh
# Makes docs/window.png, the README's picture of the window with the
# Measurements panel, and docs/speeds.png and docs/gr.png, the panel's other
# two tabs: the default gas, then cooled at Tsoll 0.1 until crystallites
# show; and docs/lesson-*.png, the conserving dynamics' lesson. Drawn on
# Qt's offscreen platform, so no display is
# needed; run from the top of the source tree after a release build.
#   bench/window/screenshot.sh [WARM_STEPS [COLD_STEPS]]
set -eu
cd "$(dirname "$0")/../.."
mkdir -p docs
QT_QPA_PLATFORM=offscreen build/bin/ljgas-screenshot docs "$@"
QT_QPA_PLATFORM=offscreen build/bin/ljgas-screenshot docs lesson
echo "wrote docs/window.png, docs/speeds.png, docs/gr.png and docs/lesson-*.png"
