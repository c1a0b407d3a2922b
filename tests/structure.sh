#!/usr/bin/env bash
# Two rules of the program's shape, checked on its sources. The folders of src/ are layers: a unit includes headers
# of its own folder, of the folders below it, and the shared headers of app/ (the application state and the small
# helpers every layer uses); the shell units of app/ (main window, commands, start-up) sit on top of all. And some
# platform calls have one home: which streams of a file are taken and how a stream's format is read are decided in
# app/avi_streams.cpp, and the registry is reached through settings/registry.cpp, so that no second copy
# drifts from the first. A break of either rule fails here, with the file and what it uses.
#
#   structure.sh [SRC_DIR]
set -euo pipefail
src=${1:-$(cd "$(dirname "$0")/../src" && pwd)}
layers=(settings bars canvas playback document)
shared="app/(app_state|avi_streams|format|long_work|message_box|stage_times|title|wait_cursor|command_state)|resources/resource"
status=0
for i in "${!layers[@]}"; do
    below=$(IFS='|'; echo "${layers[*]:0:$i}")
    allowed="^(${layers[$i]}/|$shared${below:+|($below)/})"
    while IFS=: read -r file header; do
        [[ $header =~ $allowed ]] || { echo "layering: ${file#"$src/"} includes $header"; status=1; }
    done < <(grep -r -o '#include "[^"]*"' "$src/${layers[$i]}" | sed 's/#include "\(.*\)"$/\1/')
done
while read -r home calls; do
    for file in $(grep -rlE "\b($calls)\b" "$src" --include='*.cpp'); do
        [ "${file#"$src/"}" = "$home" ] || { echo "one home: ${file#"$src/"} calls $calls, which belong to $home"; status=1; }
    done
done <<'RULES'
app/avi_streams.cpp AVIStreamReadFormat|AVIFileGetStream
settings/registry.cpp RegQueryValueExA|RegSetValueExA|RegCreateKeyExA
RULES
[ "$status" -ne 0 ] || echo "structure: the includes keep to the layers ${layers[*]}, app; the calls to their homes"
exit $status
