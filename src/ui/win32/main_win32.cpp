// main_win32.cpp: the Windows program's entry point.
#include <exception>

#include "platform/win32/win32_system.h"
#include "platform/win32/windows_api.h"
#include "ui/frm_main.h"
#include "ui/win32/win32_view.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  try {
    ovalith::win32::Win32System system;
    ovalith::win32::Win32View view(instance);
    ovalith::frmMain form(system, view);
    return form.Run();
  } catch (const std::exception& failure) {
    // Only when the windows themselves cannot be made: no box can say so.
    std::string line = std::string("ovalith: ") + failure.what() + "\r\n";
    DWORD written;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), line.data(),
              static_cast<DWORD>(line.size()), &written, nullptr);
    return ovalith::kUsageMessage;
  }
}
