# Everything a careless or hostile folder can hold, beside one good INF.
: > 0-empty.inf
LC_ALL=C awk 'BEGIN { srand(7); for (i = 0; i < 65536; i++) printf "%c", int(rand() * 255) + 1 }' > 1-junk.inf
head -c 4096 /dev/zero > 2-zeros.inf
text='[Tarvelix]\r\n%M%=I, PCI\\VEN_BAD1\r\n'
{ printf '\377\376'; printf "$text" | iconv -f UTF-8 -t UTF-16LE; } > 3-utf16le.inf
{ printf '\376\377'; printf "$text" | iconv -f UTF-8 -t UTF-16BE; } > 4-utf16be.inf
printf '[Ver\032sion]\n[Tarvelix]\n%%M%%=I, PCI\\VEN_BAD2\n' > 5-ctrlz.inf
printf '[Tarvelix]\n%%M%%=I\000, PCI\\VEN_BAD3\n' > 6-nul.inf
mkdir 7-folder.inf
printf '[Tarvelix]\n%%M%%=I, PCI\\VEN_BAD4\n' > 7-folder.inf/inside.inf
{ printf '[Tarvelix] \\\n'; for i in $(seq 2000); do printf 'continued \\\n'; done; } > 8-endless-continuation.inf
printf '[Tarvelix]\r\n%%M%%=I, PCI\\VEN_600D\r\n' > 9-good.inf
