#!/usr/bin/env bash
# Fails when code reaches upward through the layers: an #include of a folder that comes later in the
# order below, or a static library linked to the library of a later folder (which would make the two
# need each other). Resource ids are the one header every layer may share.
# Usage: check-layers.sh [SOURCE_DIR]
set -uo pipefail
cd "${1:-.}" || exit 2

layers=(common archive script items files ui uninstall startup)
declare -A rank
for i in "${!layers[@]}"; do rank[${layers[$i]}]=$i; done
# The folder each of the module's static libraries is built in.
declare -A home=([kp_common]=common [kp_messages]=common [kp_archive]=archive [kp_package]=archive
  [kp_script]=script [kp_items]=items [kp_files]=files [kp_ui]=ui [kp_uninstall]=uninstall
  [kp_startup]=startup [kp_module]=startup)

faults=0
for folder in "${layers[@]}"; do
  [ -d "$folder" ] || continue
  while IFS=: read -r file line text; do
    target=$(sed -E 's/.*#[[:space:]]*include[[:space:]]+"([a-z_]+)\/.*/\1/' <<<"$text")
    [ -n "${rank[$target]:-}" ] || continue
    case "$text" in *resources/resource_ids.h*) continue ;; esac
    if [ "${rank[$target]}" -gt "${rank[$folder]}" ]; then
      echo "$file:$line: $folder/ includes a later layer: $text"
      faults=$((faults + 1))
    fi
  done < <(grep -rnE --include='*.cpp' --include='*.h' --include='*.rc' '^[[:space:]]*#[[:space:]]*include[[:space:]]+"' "$folder")

  [ -f "$folder/CMakeLists.txt" ] || continue
  for library in $(grep -oE 'kp_[a-z_]+' <(sed -n '/target_link_libraries/,/)/p' "$folder/CMakeLists.txt")); do
    owner=${home[$library]:-}
    [ -n "$owner" ] || continue
    if [ "${rank[$owner]}" -gt "${rank[$folder]}" ]; then
      echo "$folder/CMakeLists.txt: $folder/ links $library of the later layer $owner/"
      faults=$((faults + 1))
    fi
  done
done

if [ "$faults" -gt 0 ]; then
  echo "check-layers: $faults upward reference(s); layers, lowest first: ${layers[*]}"
  exit 1
fi
echo "check-layers: every include and link goes downward (${layers[*]})"
