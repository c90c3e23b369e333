#include "ui/web/web_view.h"

#include <emscripten.h>

#include <cstdlib>

// The worker's side of each call is in page/web_host.js (Module.host).
// clang-format off
EM_JS(void, ovalith_view_set_text, (int control, const char* text), {
  Module.host.setText(control, UTF8ToString(text));
});
EM_JS(char*, ovalith_view_get_text, (int control), {
  return Module.host.newString(Module.host.getText(control));
});
EM_JS(void, ovalith_view_set_details, (int control, const char* text), {
  Module.host.setDetails(control, UTF8ToString(text));
});
EM_JS(void, ovalith_view_set_visible, (int control, int visible), {
  Module.host.setVisible(control, visible !== 0);
});
EM_JS(void, ovalith_view_set_enabled, (int enabled), {
  Module.host.setMainEnabled(enabled !== 0);
});
EM_ASYNC_JS(int, ovalith_view_wait, (), {
  return await Module.host.waitForMainEvent();
});
EM_JS(void, ovalith_view_unload, (), {
  Module.host.unloadWindows();
});
EM_ASYNC_JS(int, ovalith_view_message, (const char* text, int icon), {
  return await Module.host.messageBox(UTF8ToString(text), icon);
});
EM_JS(void, ovalith_view_progress_show, (const char* caption), {
  Module.host.progressShow(UTF8ToString(caption));
});
EM_JS(void, ovalith_view_progress_max, (double max), {
  Module.host.progressSetMax(max);
});
EM_JS(void, ovalith_view_progress_value, (double value), {
  Module.host.progressSetValue(value);
});
EM_JS(void, ovalith_view_progress_hide, (), {
  Module.host.progressHide();
});
EM_JS(void, ovalith_view_progress_step, (const char* step), {
  Module.host.progressSetStep(UTF8ToString(step));
});
EM_ASYNC_JS(int, ovalith_view_stop_requested, (), {
  return await Module.host.stopRequested() ? 1 : 0;
});
// clang-format on

namespace ovalith {

void WebView::SetText(Control control, const std::string& text) {
  ovalith_view_set_text(static_cast<int>(control), text.c_str());
}

std::string WebView::GetText(Control control) {
  char* text = ovalith_view_get_text(static_cast<int>(control));
  std::string copy(text);
  std::free(text);
  return copy;
}

void WebView::SetDetails(Control control, const std::string& text) {
  ovalith_view_set_details(static_cast<int>(control), text.c_str());
}

void WebView::SetVisible(Control control, bool visible) {
  ovalith_view_set_visible(static_cast<int>(control), visible);
}

void WebView::SetMainEnabled(bool enabled) {
  ovalith_view_set_enabled(enabled);
}

MainEvent WebView::WaitForMainEvent() {
  switch (ovalith_view_wait()) {
    case 0:
      return MainEvent::Ok;
    case 1:
      return MainEvent::Cancel;
  }
  return MainEvent::Close;
}

void WebView::UnloadWindows() { ovalith_view_unload(); }

namespace {

// Kinds of box and answers as the page numbers them.
constexpr int kSetQuestion = 3;

Answer ToAnswer(int answer) {
  switch (answer) {
    case 1:
      return Answer::Yes;
    case 2:
      return Answer::No;
    case 3:
      return Answer::Cancel;
  }
  return Answer::Ok;
}

}  // namespace

Answer WebView::MessageBox(const std::string& text, Icon icon) {
  return ToAnswer(ovalith_view_message(text.c_str(), static_cast<int>(icon)));
}

Answer WebView::AskInSet(const std::string& text) {
  return ToAnswer(ovalith_view_message(text.c_str(), kSetQuestion));
}

// The usage text is about a command line the page does not have: the box
// says what was wrong with the file instead.
void WebView::ShowUsage(const std::string& text, const std::string& cause) {
  MessageBox(cause.empty() ? text : cause, Icon::Exclamation);
}

void WebView::ProgressShow(const std::string& caption) {
  ovalith_view_progress_show(caption.c_str());
}

void WebView::ProgressSetMax(std::uint64_t max) {
  ovalith_view_progress_max(static_cast<double>(max));
}

void WebView::ProgressSetValue(std::uint64_t value) {
  ovalith_view_progress_value(static_cast<double>(value));
}

void WebView::ProgressHide() { ovalith_view_progress_hide(); }

void WebView::ProgressSetStep(const std::string& step) {
  ovalith_view_progress_step(step.c_str());
}

bool WebView::StopRequested() { return ovalith_view_stop_requested() != 0; }

}  // namespace ovalith
