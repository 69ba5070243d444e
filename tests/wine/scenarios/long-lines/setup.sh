# Physical lines are read 198 characters at a time.
x() { printf 'x%.0s' $(seq "$1"); }
{ x 194; printf '[Tarvelix]\n%%M%%=I, PCI\\VEN_F001\n'; } > 1.inf
{ x 198; printf '[Tarvelix]\n%%M%%=I, PCI\\VEN_F002\n'; } > 2.inf
{ x 198; printf ';[Tarvelix]\n%%M%%=I, PCI\\VEN_F003\n'; } > 3.inf
{ printf '[Tarvelix]\n%%M%%=I, PCI\\VEN_F004, '; x 250; printf '\n'; } > 4.inf
