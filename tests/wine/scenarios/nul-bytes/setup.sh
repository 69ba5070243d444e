# A NUL byte ends the text of its physical line.
printf '[Tarvelix]\n%%M%%=I, PCI\\VEN_C001\000,X\n' > 1.inf
printf '[Tarvelix]\n%%M%%=I\000, PCI\\VEN_C002\n' > 2.inf
printf '[Tar\000velix]\n%%M%%=I, PCI\\VEN_C003\n' > 3.inf
