// main_web.cpp: the page's entry point, called by the worker
// (page/web_host.js) for each set of chosen files; it returns the exit
// status the desktop program would.
#include <emscripten.h>

#include <exception>
#include <string>

#include "platform/web/web_system.h"
#include "ui/frm_main.h"
#include "ui/web/web_view.h"

extern "C" EMSCRIPTEN_KEEPALIVE int ovalith_run() {
  ovalith::WebSystem system;
  ovalith::WebView view;
  try {
    ovalith::frmMain form(system, view);
    return form.Run();
  } catch (const std::exception& failure) {
    view.MessageBox(failure.what(), ovalith::Icon::Exclamation);
    return ovalith::kUsageMessage;
  }
}
