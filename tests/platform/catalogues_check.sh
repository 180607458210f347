#!/usr/bin/env bash
# Each language's catalogue against the template the build made from the sources: msgfmt's
# check passes and counts every message translated, none fuzzy or untranslated, and msgcmp
# finds every message of the template in it (a word added to the sources and not translated).
# Usage: catalogues_check.sh PO_FOLDER TEMPLATE
set -euo pipefail
po=$1
template=$2
status=0
for catalogue in "$po"/*.po; do
    statistics=$(msgfmt --check --statistics -o /dev/null "$catalogue" 2>&1)
    echo "$(basename "$catalogue"): $statistics"
    if [[ $statistics == *fuzzy* || $statistics == *untranslated* ]]; then
        echo "catalogues_check: $catalogue has fuzzy or untranslated messages" >&2
        status=1
    fi
    if ! msgcmp "$catalogue" "$template"; then
        echo "catalogues_check: $catalogue lacks messages of $template" >&2
        status=1
    fi
done
exit $status
