#!/usr/bin/env bash
# The folders of src/ are layers: a unit includes headers of its own folder, of the folders below it, and the
# shared headers of app/ (the application state and the small helpers every layer uses); the shell units of app/
# (main window, commands, start-up) sit on top of all. An include against the layers, a cycle between two
# folders in the making, fails here with the file and the header.
#
#   layering.sh [SRC_DIR]
set -euo pipefail
src=${1:-$(cd "$(dirname "$0")/../src" && pwd)}
layers=(settings bars canvas playback document)
shared="app/(app_state|format|message_box|title|wait_cursor|command_state)|resources/resource"
status=0
for i in "${!layers[@]}"; do
    below=$(IFS='|'; echo "${layers[*]:0:$i}")
    allowed="^(${layers[$i]}/|$shared${below:+|($below)/})"
    while IFS=: read -r file header; do
        [[ $header =~ $allowed ]] || { echo "layering: ${file#"$src/"} includes $header"; status=1; }
    done < <(grep -r -o '#include "[^"]*"' "$src/${layers[$i]}" | sed 's/#include "\(.*\)"$/\1/')
done
[ "$status" -ne 0 ] || echo "layering: every include keeps to the layers ${layers[*]}, app"
exit $status
