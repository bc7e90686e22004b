#!/bin/sh
# Regenerates the expected whole reports from the independent hand calculation
# tools/hand_check/report.py (never from the program's output):
#   tests/e2e/jobs/<name>/<name>.expected  and  examples/<ex>/<ex>.expected.
# The water job's expected report is built by make_water_expected.py from the section
# that tests/fixtures/thermo/water_section.py writes and tunnelling lines worked out by
# hand; it is only checked here, so the two must agree.
# Run from anywhere:  sh tests/e2e/make_expected.sh   then review with git diff.
set -e
root=$(cd "$(dirname "$0")/../.." && pwd)
report="$root/tools/hand_check/report.py"
status=0
for folder in "$root"/tests/e2e/jobs/*/ "$root"/examples/*/; do
    folder=${folder%/}
    for inp in "$folder"/*.inp; do
        [ -f "$inp" ] || continue
        job=$(basename "$inp" .inp)
        if [ "$folder" = "$root/tests/e2e/jobs/water" ]; then
            python3 "$report" --check "$folder" "$job" || status=1
        else
            python3 "$report" "$folder" "$job"
            echo "wrote ${folder#$root/}/$job.expected"
        fi
    done
done
exit $status
