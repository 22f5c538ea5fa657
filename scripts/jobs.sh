# Sourced by the scripts: sets `jobs`, the parallel jobs of builds and tests, from KASONT_JOBS (a
# whole number of 1 or more) or, when that is unset or empty, to one per core. A wrong setting is
# named, and the script ends there.
jobs=${KASONT_JOBS:-}
if [ -z "$jobs" ]; then
    jobs=$(nproc)
elif [[ "$jobs" =~ ^[0-9]+$ ]] && [ $((10#$jobs)) -ge 1 ]; then
    jobs=$((10#$jobs))
else
    echo "$0: KASONT_JOBS must be the number of parallel jobs, a whole number of 1 or more, not \"$jobs\"" >&2
    exit 2
fi
