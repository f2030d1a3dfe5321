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

e2e_end() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
