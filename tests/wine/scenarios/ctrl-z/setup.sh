# Byte 0x1A ends the input.
printf '[Tarvelix]\n\032%%M%%=I, PCI\\VEN_B001\n' > 1-early.inf
printf '[Tarvelix]\n%%M%%=I, PCI\\VEN_B002\032, junk\n' > 2-late.inf
