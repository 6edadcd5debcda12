#!/bin/sh
echo "Tessik installer ran at $(date)" > "${TMPDIR:-/tmp}/zandrel-demo-installed"
