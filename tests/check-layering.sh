#!/usr/bin/env bash
# Fails when code above platform/ includes Qt or Linux system headers (everything
# platform-specific must go through platform/), and, given the build folder, when a
# library links or includes one of its own layer or a layer above it, when a test that needs
# neither windows nor pages loads Qt WebEngine, or when the root-side install helper loads Qt.
set -u
root=${1:-$(dirname "$0")/..}
build=${2:-}
cd "$root" || exit 2
failed=0

pattern='^[[:space:]]*#[[:space:]]*include[[:space:]]*<(Q[A-Za-z]*|Qt[A-Za-z]*/[^>]*|unistd\.h|fcntl\.h|dlfcn\.h|pthread\.h|signal\.h|iconv\.h|langinfo\.h|pwd\.h|spawn\.h|dirent\.h|execinfo\.h|sys/[^>]*|linux/[^>]*|X11/[^>]*)>'
hits=$(grep -rnE "$pattern" app base shell browser ui config update dialogs ids --include='*.h' --include='*.cpp' 2>/dev/null)
if [ -n "$hits" ]; then
    echo "Qt or Linux system headers above platform/:"
    echo "$hits"
    failed=1
fi

if [ -n "$build" ]; then
    # Each library's layer, as its CMakeLists.txt declares it (zandrel_folder_library's LAYER).
    layer_file="$build/library-layers.txt"
    if [ ! -s "$layer_file" ]; then
        echo "$layer_file is missing: configure the build before the check"
        exit 1
    fi
    layers=$(awk '{ print $1, $2 }' "$layer_file")

    # A file of a library includes only its own library's headers and those of lower layers.
    include_faults=$(while read -r name layer folder excluded; do
        for file in "$folder"/*.h "$folder"/*.cpp; do
            [ -f "$file" ] || continue
            if [ -n "$excluded" ] && printf '%s\n' "/$file" | grep -qE -- "$excluded"; then
                continue
            fi
            sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)\/[^"/]+".*/\1/p' "$file" |
                sort -u | sed "s|^|$file $name $layer |"
        done
    done <"$layer_file" | awk -v table="$(cat "$layer_file")" '
        BEGIN {
            n = split(table, rows, "\n")
            for (i = 1; i <= n; i++)
                if (split(rows[i], f, " ") >= 3) {
                    owner[f[3]] = f[1]
                    level[f[1]] = f[2]
                }
        }
        {
            file = $1; from = $2; from_layer = $3; folder = $4
            if (!(folder in owner) || owner[folder] == from)
                next
            to = owner[folder]
            if (level[to] >= from_layer)
                print file " (" from ", layer " from_layer ") includes " folder "/ of " to " (layer " level[to] ")"
        }')
    if [ -n "$include_faults" ]; then
        echo "includes that run up or across:"
        echo "$include_faults"
        failed=1
    fi

    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
    if ! cmake --graphviz="$scratch/targets.dot" "$build" >"$scratch/cmake.log" 2>&1; then
        echo "cmake --graphviz failed:"
        cat "$scratch/cmake.log"
        exit 1
    fi
    # Nodes: "nodeN" [ label = "name", shape = kind ];  edges: "nodeA" -> "nodeB" ... // a -> b
    graph_faults=$(awk -v layers="$layers" '
        BEGIN {
            n = split(layers, rows, "\n")
            for (i = 1; i <= n; i++)
                if (split(rows[i], f, " ") == 2)
                    layer[f[1]] = f[2]
        }
        /^ *"node[0-9]+" \[ label = / {
            match($0, /label = "[^"]*"/); name = substr($0, RSTART + 9, RLENGTH - 10)
            match($0, /shape = [a-z]+/); shape = substr($0, RSTART + 8, RLENGTH - 8)
            ours = name !~ /::/ && name !~ /^(test_|bench_|fuzz_)/ && name !~ /[\/ ]/ && name !~ /^-/
            if (ours && shape ~ /octagon|pentagon|hexagon/ && !(name in layer))
                print "library " name " has no LAYER in its zandrel_folder_library call"
            if (ours && shape == "egg")
                program[name] = 1
        }
        /^ *"node[0-9]+" -> "node[0-9]+".*\/\/ / {
            link = $0; sub(/.*\/\/ /, "", link)
            split(link, ends, " -> ")
            from = ends[1]; to = ends[2]
            if (!(from in layer))
                next
            if (to in program)
                print from " links the program " to
            if (!(to in layer))
                next
            if (layer[to] > layer[from])
                print from " (layer " layer[from] ") links " to " above it (layer " layer[to] ")"
            else if (layer[to] == layer[from])
                print from " links " to " across its layer (" layer[from] ")"
        }
    ' "$scratch/targets.dot")
    if [ -n "$graph_faults" ]; then
        echo "library links that run up or across:"
        echo "$graph_faults"
        failed=1
    fi

    # Fails when the binary $1 is missing or loads a library matching $2.
    refuse_loaded() {
        if [ ! -x "$1" ]; then
            echo "$1 is missing: build it before the check"
            failed=1
        elif ldd "$1" | grep -q "$2"; then
            echo "$(basename "$1") loads $2:"
            ldd "$1" | grep "$2"
            failed=1
        fi
    }
    # The root-side install helper loads nothing of Qt: only what it needs runs as root.
    refuse_loaded "$build/program/zandrel-install-update" 'libQt6'
    # The XML engine's and the update check's tests need neither windows nor pages.
    for test in unit_config unit_update; do
        refuse_loaded "$build/bin/$test" 'libQt6WebEngine'
    done
fi

[ "$failed" = 0 ] && echo "layering ok"
exit "$failed"
