# 16-bit files: every line's text ends at its first zero byte.
text='[Tarvelix]\r\n%M%=I, PCI\\VEN_0016\r\n'
{ printf '\377\376'; printf "$text" | iconv -f UTF-8 -t UTF-16LE; } > le.inf
{ printf '\376\377'; printf "$text" | iconv -f UTF-8 -t UTF-16BE; } > be.inf
