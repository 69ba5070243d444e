# Sourced by the demo and the Wine scenarios: reading the Wine prefix's
# registry (WINEPREFIX must be set).

# reg_value KEY VALUE: the value's data, or nothing when it is missing.
reg_value() {
  wine reg query "$1" /v "$2" 2>/dev/null </dev/null | tr -d '\r' |
    awk -v name="$2" '$1 == name { $1 = ""; $2 = ""; sub(/^  */, ""); print }'
}
