#!/usr/bin/env bash
# Runs one Windows program of the build under the build's Wine prefix.
# CTest calls it for every test executable.
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/wine-env.sh"
exec wine "$@"
