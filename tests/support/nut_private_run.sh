#!/bin/sh
# nut_private_run.sh FOLDER PROGRAM [ARGUMENT...]
#
# Runs a NUT program with FOLDER in place of /run/nut. upsmon keeps its PID file there whatever
# NUT_ALTPIDPATH says, and refuses to start while another upsmon (the machine's own, or another
# test's) holds it. In a mount namespace of its own (for an unprivileged user, in a user
# namespace too) the program sees the test's folder there instead, so any number run side by
# side. Without /run/nut, or where no namespace may be made, the program runs as it is.
set -e
dir=$1
shift
if [ -n "$NUT_PRIVATE_RUN_INSIDE" ]; then
    unset NUT_PRIVATE_RUN_INSIDE
    mount --bind "$dir" /run/nut
    exec "$@"
fi
if [ -d /run/nut ]; then
    namespace="--mount --propagation private"
    [ "$(id -u)" -eq 0 ] || namespace="$namespace --map-root-user"
    # The probe costs a few milliseconds; it keeps a refused namespace from ending the run.
    # shellcheck disable=SC2086
    if unshare $namespace true 2>/dev/null; then
        NUT_PRIVATE_RUN_INSIDE=1 exec unshare $namespace "$0" "$dir" "$@"
    fi
    echo "nut_private_run: no mount namespace may be made here; /run/nut is shared" >&2
fi
exec "$@"
