#include "synthetic_inf.h"

#include <cstdio>
#include <stdexcept>

namespace varnoll::bench {

void WriteSyntheticInf(const std::string& path, size_t bytes, InfShape shape) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) throw std::runtime_error("cannot write " + path);
  if (shape == InfShape::kDense) {
    for (size_t section = 0, written = 0; written < bytes; ++section) {
      written += static_cast<size_t>(
          std::fprintf(out, "[Strings.%zu]\r\nModel%zu = \"Tarvelix V.92 Modem\"\r\n", section, section));
    }
  }
  // One section as modem INFs have them: a header, a long run of responses
  // and settings, a comment, a blank line and one continued line.
  size_t written = shape == InfShape::kDense ? bytes : 0;
  for (size_t section = 0; written < bytes; ++section) {
    written += static_cast<size_t>(std::fprintf(out, "[Modem%zu.AddReg]\r\n", section));
    written += static_cast<size_t>(std::fprintf(out, "; responses the modem may send\r\n\r\n"));
    for (int i = 0; i < 32; ++i) {
      written += static_cast<size_t>(std::fprintf(
          out, "HKR, Responses, \"<cr><lf>CONNECT %d<cr><lf>\", 1, 02, 00, 00,00,00,00, 00,00,00,00\r\n",
          1200 * (i + 1)));
    }
    written += static_cast<size_t>(std::fprintf(out, "HKR, Init, 1,, \"AT&F<cr>\"\r\n"));
    written +=
        static_cast<size_t>(std::fprintf(out, "HKR, Settings, DialPrefix,, \"D\" \\\r\n    ; continued\r\n"));
    written += static_cast<size_t>(std::fprintf(out, "HKR, Settings, Terminator,, \"<cr>\"\r\n"));
  }
  std::fputs("[Tarvelix]\r\n%Modem% = Modem_Install, PCI\\VEN_1F2E&DEV_0A01\r\n", out);
  std::fclose(out);
}

}  // namespace varnoll::bench
