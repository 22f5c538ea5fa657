#!/usr/bin/env bash
# Keeps the layers in their order. The link units (every file of link/) stand below every window:
# following their include lines transitively reaches only one another, ui/ and platform/. Every
# unit of ui/ is read as well, its source files included, since the link units link all of them.
# The operating-system layer platform/ stands below everything: its files include only one another.
# Prints each include that leads anywhere else and exits non-zero when there is one. Includes in
# angle brackets (the standard library, Qt) are not followed.
set -euo pipefail
cd "$(dirname "$0")/.."

# Whether a file of the tree may be reached from a link unit.
link_units_may_reach() {
    case $1 in
    link/* | ui/* | platform/*) return 0 ;;
    esac
    return 1
}

# Whether a file of the tree may be reached from platform/.
platform_may_reach() {
    [[ $1 == platform/* ]]
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

# Follows the include lines of the files after the first three arguments transitively; prints
# each include of a file that the predicate $1 refuses, with the reason $2, and the summary $3
# when there is one. Fails when it found one.
follow() {
    local may_reach=$1 reason=$2 summary=$3
    shift 3
    local -A seen=()
    local queue=() file name target violations=0
    for file in "$@"; do
        [[ -f $file ]] && queue+=("$file") && seen[$file]=1
    done
    while ((${#queue[@]})); do
        file=${queue[0]}
        queue=("${queue[@]:1}")
        while IFS= read -r name; do
            target=$(resolve "$file" "$name")
            [[ -z $target ]] && continue
            if ! "$may_reach" "$target"; then
                echo "$file includes $target, which is $reason"
                violations=$((violations + 1))
            elif [[ -z ${seen[$target]:-} ]]; then
                seen[$target]=1
                queue+=("$target")
            fi
        done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
    done
    if ((violations)); then
        echo "$violations include(s) $summary"
        return 1
    fi
}

# The link units and the widget layer they link, every header and source file: a source file is
# reached by no include line, so each one is a start of its own.
link_layer_files=(link/*.h link/*.cpp ui/*.h ui/*.cpp)

failed=0
if follow link_units_may_reach "not a link unit, ui/ or platform/" \
    "lead from the link units or ui/ up into the windows" "${link_layer_files[@]}"; then
    echo "the link units and ui/ include only one another and platform/"
else
    failed=1
fi
if follow platform_may_reach "not in platform/" "lead from platform/ up into the layers above it" \
    platform/*.h platform/*.cpp; then
    echo "platform/ includes only platform/"
else
    failed=1
fi
exit "$failed"
