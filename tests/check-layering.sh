#!/usr/bin/env bash
# Fails when code above platform/ includes Qt or Linux system headers:
# everything platform-specific must go through platform/.
set -u
root=${1:-$(dirname "$0")/..}
cd "$root" || exit 2
pattern='^[[:space:]]*#[[:space:]]*include[[:space:]]*<(Q[A-Za-z]*|Qt[A-Za-z]*/[^>]*|unistd\.h|fcntl\.h|dlfcn\.h|pthread\.h|signal\.h|iconv\.h|langinfo\.h|pwd\.h|spawn\.h|dirent\.h|execinfo\.h|sys/[^>]*|linux/[^>]*|X11/[^>]*)>'
hits=$(grep -rnE "$pattern" app browser ui config update dialogs --include='*.h' --include='*.cpp' 2>/dev/null)
if [ -n "$hits" ]; then
    echo "Qt or Linux system headers above platform/:"
    echo "$hits"
    exit 1
fi
echo "layering ok"
