#!/bin/sh
# The program's command line: --version answers without a display, exit 0;
# an unknown option or argument is refused with a message and exit status 2.
# Usage: command_line_test.sh <ljgas> <version>
set -u
program=$1
version=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --version)
status=$?
[ $status -eq 0 ] || fail "--version ended with status $status"
[ "$out" = "ljgas $version" ] || fail "--version printed '$out'"

# An argument is refused before the toolkit starts; an unknown option only
# once Qt has taken its own (-platform, -style) out.
for wrong in --no-such-option surplus; do
    err=$(QT_QPA_PLATFORM=offscreen "$program" "$wrong" 2>&1 >/dev/null)
    status=$?
    [ $status -eq 2 ] || fail "'$wrong' ended with status $status"
    case $err in
    *"'${wrong#--}'"*"ljgas --help"*) ;;
    *) fail "'$wrong' gave the message '$err'" ;;
    esac
done
echo "command line: ok"
