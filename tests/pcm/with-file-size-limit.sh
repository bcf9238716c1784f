#!/usr/bin/env bash
# Usage: with-file-size-limit.sh KIB COMMAND...
# Runs COMMAND with files limited to KIB KiB, so that a write past the limit
# fails as on a full disk. The signal the kernel sends for such a write is
# ignored, which makes the write return an error instead of killing the process.
set -euo pipefail
limit_kib=$1
shift
ulimit -f "$limit_kib"
trap '' XFSZ
export ZEP_TEST_FILE_SIZE_LIMIT=$((limit_kib * 1024))
exec "$@"
