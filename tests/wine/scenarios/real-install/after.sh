source "$VARNOLL_SOURCE_DIR/tests/wine/registry.sh"
driver=$(reg_value "HKLM\\System\\CurrentControlSet\\Enum\\$instance" Driver)
[ -n "$driver" ] || fail "the device $instance has no Driver value"
class_key="HKLM\\System\\CurrentControlSet\\Control\\Class\\$driver"
[ "$(reg_value "$class_key" InfSection)" = Tarvelix_V92 ] || fail "the driver key has the wrong InfSection"
[ "$(reg_value "$class_key" SampleModel)" = "Tarvelix V.92 PCI" ] || fail "the INF's AddReg values are missing"
[ "$(reg_value "$class_key" SampleMaxSpeed)" = 0xdac0 ] || fail "SampleMaxSpeed is wrong"
