# CR LF, LF, and CR-only files; a CR-only file is one long line read in parts
# of 198 characters.
printf '[Tarvelix]\r\n%%M%%=I, PCI\\VEN_A001\r\n' > 1-crlf.inf
printf '[Tarvelix]\n%%M%%=I, PCI\\VEN_A002\n' > 2-lf.inf
{ printf '[Tarvelix]\r'; printf 'x%.0s' $(seq 187); printf '%%M%%=I, PCI\\VEN_A003\r'; } > 3-cr.inf
printf '[Tarvelix]\r%%M%%=I, PCI\\VEN_A004\r' > 4-cr-short.inf
