#!/usr/bin/env bash
# Runs a command as an unprivileged user, for the tests whose point is a
# permission (a folder that cannot be written, a file that cannot be read):
# as the caller when that is not root, and as root as the user wavorin-test,
# made on first use, since permissions do not bind root.
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then exec "$@"; fi
user=wavorin-test
if ! id -u "$user" >/dev/null 2>&1; then
  useradd --system --user-group --no-create-home --home-dir /nonexistent \
    --shell /usr/sbin/nologin "$user"
fi
home=$(mktemp -d)
chown "$user:" "$home"
trap 'rm -rf "$home"' EXIT
HOME=$home XDG_RUNTIME_DIR=$home setpriv --reuid="$user" --regid="$user" --init-groups -- "$@"
