[ "$(printf '%s' "$(to_windows "$app/$RUN")" | wc -c)" -eq 259 ] || fail "the program's path is not 259 characters long"
