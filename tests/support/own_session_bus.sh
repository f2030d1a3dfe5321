#!/usr/bin/env bash
# Runs a command on a D-Bus session bus of its own, stopped when the command
# ends. The bus starts no installed program on demand but the accessibility
# bus: a file manager or portal installed on the machine never answers a
# test's call, so a test sees only the services it registers itself. ctest
# starts every test through this (inside own_display.sh for the X11 tests, so
# the accessibility bus gets the test's display).
# Usage: own_session_bus.sh <command> [argument]...
set -uo pipefail
. "$(dirname "$0")/e2e.sh"
e2e_begin own_session_bus.sh dbus-daemon
trap 'exit 143' TERM INT

mkdir "$work/services"
IFS=: read -ra data_dirs <<<"${XDG_DATA_DIRS:-/usr/local/share:/usr/share}"
for dir in "${data_dirs[@]}"; do
    if [ -f "$dir/dbus-1/services/org.a11y.Bus.service" ]; then
        ln -s "$dir/dbus-1/services/org.a11y.Bus.service" "$work/services/"
        break
    fi
done

cat >"$work/session.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <keep_umask/>
  <listen>unix:dir=$work</listen>
  <auth>EXTERNAL</auth>
  <servicedir>$work/services</servicedir>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF

e2e_start_server own_session_bus.sh dbus-daemon --config-file="$work/session.conf" --nofork --print-address=3
DBUS_SESSION_BUS_ADDRESS=$named "$@"
