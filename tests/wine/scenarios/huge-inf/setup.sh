# A 1 GiB INF with no marker, before a good one.
yes '; a comment line with no section marker in it, only text to read through' | head -c 1073741824 > a-huge.inf
printf '[Tarvelix]\r\n%%M%%=I, PCI\\VEN_0B16\r\n' > b-good.inf
