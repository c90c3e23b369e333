// view.h: what the program shows and asks: the main window, message boxes
// and the progress window.
//
// A front end implements View (ui/terminal, ui/win32, ui/gtk); the tests
// use a scripted one.  Files and names are the System's (system.h).
#pragma once

#include <cstdint>
#include <string>

namespace ovalith {

// The controls of the main window whose text or visibility the core sets.
enum class Control {
  frmMain,  // the window itself: its caption
  Label1,
  lblPW1,
  lblFile,
  txtPW1,
  txtPW2,
  lblPW2,
  cmdOK,
  cmdCancel,
};

enum class Icon { Information, Exclamation, Question };

// Information and exclamation boxes answer Ok; a question answers Yes or No.
enum class Answer { Ok, Yes, No };

// What ended a wait on the main window.
enum class MainEvent { Ok, Cancel, Close };

class View {
 public:
  virtual ~View() = default;

  // --- Main window -------------------------------------------------------
  // The password boxes hold bytes of the 8-bit code page; every other
  // control's text is a name or caption in the system's encoding.
  virtual void SetText(Control control, const std::string& text) = 0;
  virtual std::string GetText(Control control) = 0;
  virtual void SetVisible(Control control, bool visible) = 0;
  virtual void SetMainEnabled(bool enabled) = 0;
  // Shows the main window if hidden and waits until OK, Cancel or the
  // close box.
  virtual MainEvent WaitForMainEvent() = 0;
  // Unloads the progress window, then the main window.
  virtual void UnloadWindows() = 0;

  // --- Message boxes -----------------------------------------------------
  // Lines of text are joined by "\r\n".
  virtual Answer MessageBox(const std::string& text, Icon icon) = 0;
  // The usage message (six lines joined by "\r\n"), then the cause.
  virtual void ShowUsage(const std::string& text, const std::string& cause) = 0;

  // --- Progress window ---------------------------------------------------
  virtual void ProgressShow(const std::string& caption) = 0;
  virtual void ProgressSetMax(std::uint64_t max) = 0;
  // The core calls it only a few times a second: a view just draws.
  virtual void ProgressSetValue(std::uint64_t value) = 0;
  virtual void ProgressHide() = 0;
  virtual void ProcessPendingEvents() = 0;
};

}  // namespace ovalith
