#!/usr/bin/env bash
# The QIF results of examples/ are valid QIF 3 documents: each is checked
# against the QIF 3.0.0 schemas with xmllint, offline.
#   bash tests/test_qif_schemas.sh SCHEMA_DIR EXAMPLES_DIR
set -uo pipefail

schemas=$1
examples=$2
if ! command -v xmllint >/dev/null 2>&1; then
    echo "FAIL: xmllint is not installed (Debian package libxml2-utils; bash setup.sh test installs it)"
    exit 1
fi
schema=$schemas/QIFApplications/QIFDocument.xsd
if [ ! -f "$schema" ]; then
    echo "FAIL: no QIF schema at $schema"
    exit 1
fi

failed=0
checked=0
for file in "$examples"/*.qif; do
    [ -e "$file" ] || continue
    checked=$((checked + 1))
    if xmllint --nonet --noout --schema "$schema" "$file"; then
        echo "PASS: ${file##*/} is valid against the QIF 3 schemas"
    else
        echo "FAIL: ${file##*/} is not valid against the QIF 3 schemas"
        failed=1
    fi
done
if [ "$checked" -eq 0 ]; then
    echo "FAIL: no QIF file in $examples"
    exit 1
fi
exit $failed
