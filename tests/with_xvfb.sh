#!/usr/bin/env bash
# Runs a command on a private Xvfb server that lives exactly as long as the
# command, and exits with the command's status. Unlike xvfb-run, whose own
# clean-up sometimes fails and replaces the status, nothing here can turn a
# passing test into a failing one.
# Usage: [ZK_XVFB_SIZE=WxH] with_xvfb.sh COMMAND [ARGS...]
set -u
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"
zk_start_xvfb || exit 1
"$@"
