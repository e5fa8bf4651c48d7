#!/usr/bin/env bash
# Starts Brenlow under a virtual X server, in a D-Bus session of its own with the accessibility bus
# and Qt's AT-SPI bridge on, adds the given video links through the accessibility interfaces alone
# (as a screen-reader user would: the "Add Video Link" press action, the input box's text field, its
# OK button), and prints the window's tree as assistive technology reads it.
#
# Usage: tools/a11y/atspi-dump.sh [--tab-screens DIR [--presses N]] [LINK...]
#        (default link: one demo video of the bundled tool)
# Needs the Debian packages xvfb, xauth, at-spi2-core and python3-pyatspi (and xdotool and
# imagemagick for --tab-screens), and a built build/bin.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="${BRENLOW_BUILD_DIR:-$root/build}"
program="$build/bin/brenlow"
[ -x "$program" ] || { echo "no $program: build first (cmake --build build --target brenlow brenlow_tool)" >&2; exit 2; }
for tool in xvfb-run dbus-run-session; do
    command -v "$tool" > /dev/null || { echo "$tool is missing: apt-get install xvfb xauth dbus at-spi2-core python3-pyatspi" >&2; exit 2; }
done
# Debian's pyatspi belongs to Debian's Python, whatever python3 comes first on PATH.
python=/usr/bin/python3
"$python" -c 'import pyatspi' 2> /dev/null || { echo "pyatspi is missing: apt-get install python3-pyatspi" >&2; exit 2; }
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb NO_AT_BRIDGE=0
exec xvfb-run -a -s "-screen 0 1280x800x24" \
    dbus-run-session -- "$python" "$here/atspi_dump.py" --program "$program" "$@"
