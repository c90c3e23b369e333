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

const char kHelpText[] =
    "Usage: ovalith FILE... [/pw=PASSWORD]\n"
    "Encrypts each FILE into a container beside it (report.txt becomes\n"
    "report.ov2), or restores a container (a name that reads \"ov2\" after\n"
    "its first \".\") to the file it was made from.  Asks for the password,\n"
    "once for all the files (twice when one is encrypted).\n"
    "\n"
    "  /pw=PASSWORD  run without asking; the rest of the command line is\n"
    "                the password, of which 20 characters count\n"
    "  --help        show this help and exit\n"
    "  --version     show the version and exit\n"
    "  --            every argument after it is a file\n"
    "\n"
    "Exit status: 0 every file was done, 1 a file failed, 2 stopped,\n"
    "cancelled or declined before every file was done.\n";

std::string VersionText() {
  return std::string("ovalith ") + OVALITH_VERSION + "\n";
}

void frmMain::Fout(const std::string& cause) {
  view_.ShowUsage(kUsageText, cause);
  End(kUsageMessage);
}

}  // namespace ovalith
