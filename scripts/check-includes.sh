#!/usr/bin/env bash
# Keeps the link units below every window: following their include lines transitively reaches
# only one another, ui/ and platform/. Prints each include that leads anywhere else and exits
# non-zero when there is one. Includes in angle brackets (the standard library, Qt) are not
# followed.
set -euo pipefail
cd "$(dirname "$0")/.."

link_units=(shell/UnitGeneral shell/ReplyRouting shell/Waits shell/UnitCommCancel
            shell/RateCommands)

# Whether a file of the tree may be reached from a link unit.
allowed() {
    case $1 in
    ui/* | platform/*) return 0 ;;
    esac
    local unit
    for unit in "${link_units[@]}"; do
        [[ $1 == "$unit.h" || $1 == "$unit.cpp" ]] && return 0
    done
    return 1
}

# The file of the tree that an include line of file $1 names ($2), as the compiler finds it:
# beside the including file first, then from the top of the tree.
resolve() {
    local beside
    beside=$(dirname "$1")/$2
    if [[ -f $beside ]]; then
        realpath --relative-to=. "$beside"
    elif [[ -f $2 ]]; then
        echo "$2"
    fi
}

declare -A seen=()
queue=()
for unit in "${link_units[@]}"; do
    for file in "$unit.h" "$unit.cpp"; do
        [[ -f $file ]] && queue+=("$file") && seen[$file]=1
    done
done

violations=0
while ((${#queue[@]})); do
    file=${queue[0]}
    queue=("${queue[@]:1}")
    while IFS= read -r name; do
        target=$(resolve "$file" "$name")
        [[ -z $target ]] && continue
        if ! allowed "$target"; then
            echo "$file includes $target, which is not a link unit, ui/ or platform/"
            violations=$((violations + 1))
        elif [[ -z ${seen[$target]:-} ]]; then
            seen[$target]=1
            queue+=("$target")
        fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done

if ((violations)); then
    echo "$violations include(s) lead from the link units up into the windows"
    exit 1
fi
echo "the link units include only one another, ui/ and platform/"
