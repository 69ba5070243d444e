# A root-enumerated modem with the sample's hardware ID, as if plugged in.
instance=$(wine "$helper_dir/make_device.exe" 'PCI\VEN_1F2E&DEV_0A01' 2>/dev/null </dev/null | tr -d '\r')
[ -n "$instance" ] || fail "make_device could not register the modem"
