#include "startup/usage.h"

#include "ui/frm_main.h"

namespace ovalith {

const char kUsageText[] =
    "File not found !!\r\n"
    "\r\n"
    "Usage :\r\n"
    "Ovalith filename [/pw=password]\r\n"
    "  filename : file to encrypt/decrypt\r\n"
    "  /pw : Encrypts/decrypts without user interaction";

void frmMain::Fout(const std::string& cause) {
  view_.ShowUsage(kUsageText, cause);
  End(kUsageMessage);
}

}  // namespace ovalith
