# The same control as for the x64 build, with the x86 helper and DLL.
source "$scenario/../dll-planting-x64/before.sh"
