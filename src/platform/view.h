// view.h: what the program shows and asks: the main window, message boxes
// and the progress window.
//
// A front end implements View (ui/terminal, ui/win32, ui/gtk); the tests
// use a scripted one.  Files and names are the System's (system.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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

// Information and exclamation boxes answer Ok; a question answers Yes or No,
// and Cancel where it offers to stop the whole set of files.
enum class Answer { Ok, Yes, No, Cancel };

// What ended a wait on the main window.
enum class MainEvent { Ok, Cancel, Close };

class View {
 public:
  virtual ~View() = default;

  // --- Main window -------------------------------------------------------
  // Every control's text, the password boxes' included, is in the system's
  // encoding (UTF-8); the core turns passwords into key bytes.
  virtual void SetText(Control control, const std::string& text) = 0;
  virtual std::string GetText(Control control) = 0;
  virtual void SetVisible(Control control, bool visible) = 0;
  virtual void SetMainEnabled(bool enabled) = 0;
  // Shows the main window if hidden and waits until OK, Cancel or the
  // close box.
  virtual MainEvent WaitForMainEvent() = 0;
  // Unloads the progress window, then the main window.
  virtual void UnloadWindows() = 0;
  // More about a control than its text fits: the whole list of files behind
  // "report.txt and 4 more" (one name a line), shown on demand (a tooltip).
  virtual void SetDetails(Control, const std::string&) {}
  // The platform's file chooser, several files allowed: their paths, none
  // when the user cancelled.  Only views that have one offer it.
  virtual std::vector<std::string> ChooseFiles() { return {}; }
  // What --help and --version print: where a command line's output goes
  // (standard output), or an information box.
  virtual void ShowInformation(const std::string& text) {
    MessageBox(text, Icon::Information);
  }

  // --- Message boxes -----------------------------------------------------
  // Lines of text are joined by "\r\n".
  // A question's default button is No: Enter never replaces a file.
  virtual Answer MessageBox(const std::string& text, Icon icon) = 0;
  // A question of a set of files: Yes, No, or Cancel to stop the set.
  virtual Answer AskInSet(const std::string& text) {
    return MessageBox(text, Icon::Question);
  }
  // The usage message (six lines joined by "\r\n"), then the cause.
  virtual void ShowUsage(const std::string& text, const std::string& cause) = 0;

  // --- Progress window ---------------------------------------------------
  virtual void ProgressShow(const std::string& caption) = 0;
  virtual void ProgressSetMax(std::uint64_t max) = 0;
  // The core calls it only a few times a second: a view just draws.
  virtual void ProgressSetValue(std::uint64_t value) = 0;
  virtual void ProgressHide() = 0;
  virtual void ProcessPendingEvents() = 0;
  // Which file of a set is being done: "2 of 5: report.txt".  Never called
  // for a single file.
  virtual void ProgressSetStep(const std::string&) {}
  // True once the user asked to stop the run (closed the progress window,
  // Escape, Ctrl-C).  Polled a few times a second during a run; a view with
  // events to process processes them here.
  virtual bool StopRequested() { return false; }
};

}  // namespace ovalith
