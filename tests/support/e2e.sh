# Sourced by the end-to-end scripts: checks the tools a script needs (exit 77,
# ctest's skip, when one is missing) and gives it a work folder that is removed,
# with every process it noted in `pids`, however the script ends.
# Usage: e2e_begin <script name> <tool>...
e2e_begin() {
    local name=$1 tool
    shift
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { echo "$name: $tool is missing (scripts/deps test)"; exit 77; }
    done
    work=$(mktemp -d)
    pids=()
    trap e2e_end EXIT
}

# Starts a server that names itself (its display, its address) on file
# descriptor 3 once it takes clients, notes it in `pids` and sets `named` to
# that name; ends the script when the server has not started within a minute.
# Usage: e2e_start_server <script name> <command>...
e2e_start_server() {
    local name=$1
    shift
    mkfifo "$work/named"
    "$@" 3>"$work/named" 2>"$work/server.log" &
    pids+=($!)
    if ! read -r -t 60 named <"$work/named" || [ -z "$named" ]; then
        echo "$name: $1 did not start:" >&2
        cat "$work/server.log" >&2
        exit 1
    fi
}

e2e_end() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
