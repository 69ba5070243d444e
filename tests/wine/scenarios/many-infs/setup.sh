# 10,000 INF files: 9,999 whose hardware ID lacks "VEN_", and one good one.
for i in $(seq -w 1 9999); do
  printf '[Version]\r\nSignature="$Windows NT$"\r\n[Tarvelix]\r\n%%M%%=I, MDMGEN\\MODEM_%s\r\n' "$i" > "m$i.inf"
done
printf '[Tarvelix]\r\n%%M%%=I, PCI\\VEN_1000\r\n' > z-good.inf
