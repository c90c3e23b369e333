// terminal_view_test.cpp: the terminal form, questions and progress line on a
// scripted console: what both the POSIX terminal and the Windows console
// get from them.
#include "ui/terminal/terminal_view.h"

#include <gtest/gtest.h>

#include <deque>

namespace ovalith {
namespace {

// Plays keys or lines and records what is written where.
class ScriptedConsole : public Console {
 public:
  bool terminal_input = true;
  bool error_is_terminal = true;
  bool window_is_error = true;
  bool stop = false;
  std::deque<Key> keys;
  std::deque<std::string> lines;
  std::string error, window, output;
  int keys_mode = 0;  // entered minus left

  void Type(const std::string& text) {
    for (const char c : text) keys.push_back({Key::kText, std::string(1, c)});
  }
  void Press(Key::Kind kind) { keys.push_back({kind}); }

  bool InputIsTerminal() const override { return terminal_input; }
  std::optional<std::string> ReadLine() override {
    if (lines.empty()) return std::nullopt;
    std::string line = lines.front();
    lines.pop_front();
    return line;
  }
  void BeginKeys() override { ++keys_mode; }
  void EndKeys() override { --keys_mode; }
  Key ReadKey() override {
    EXPECT_EQ(keys_mode, 1) << "a key read outside keys mode";
    if (keys.empty()) return {Key::kClosed};
    Key key = keys.front();
    keys.pop_front();
    return key;
  }
  void WriteError(const std::string& text) override { error += text; }
  void WriteWindow(const std::string& text) override {
    (window_is_error ? error : window) += text;
  }
  bool WindowIsError() const override { return window_is_error; }
  std::size_t WindowWidth() override { return 60; }
  bool ErrorIsTerminal() const override { return error_is_terminal; }
  std::size_t ErrorWidth() override { return 60; }
  void WriteOutput(const std::string& text) override { output += text; }
  bool StopRequested() override { return stop; }
};

class TerminalForm : public ::testing::Test {
 protected:
  // The encrypt window: two fields.
  TerminalForm() { view_.SetText(Control::lblFile, "report.txt"); }

  ScriptedConsole console_;
  TerminalView view_{console_};
};

TEST_F(TerminalForm, TypedPasswordsAreMaskedEditedAndKeptAsTyped) {
  // A slip mended with Backspace; a two-byte character erased whole.
  console_.Type("secreX");
  console_.Press(Key::kBackspace);
  console_.Type("t\xc3\xa9");
  console_.Press(Key::kBackspace);
  console_.Press(Key::kEnter);
  console_.keys.push_back({Key::kText, "\xc3\xa9"});  // one key, as Windows
  console_.Type("x");
  console_.Press(Key::kKillLine);
  console_.Type("secret");
  console_.Press(Key::kEnter);
  EXPECT_EQ(view_.WaitForMainEvent(), MainEvent::Ok);
  EXPECT_EQ(view_.GetText(Control::txtPW1), "secret");
  EXPECT_EQ(view_.GetText(Control::txtPW2), "secret");
  EXPECT_EQ(console_.keys_mode, 0);

  const std::string& screen = console_.error;
  EXPECT_NE(screen.find("File : report.txt"), std::string::npos);
  EXPECT_NE(screen.find("Enter password again : ******"), std::string::npos);
  EXPECT_EQ(screen.find("secret"), std::string::npos) << screen;
  EXPECT_EQ(screen.find("\xc3\xa9"), std::string::npos);
  // The cursor ends on a fresh line below the window.
  EXPECT_EQ(screen.back(), '\n');
}

TEST_F(TerminalForm, KeysThatEndTheWindow) {
  const auto end_with = [&](std::initializer_list<Key::Kind> kinds) {
    ScriptedConsole console;
    TerminalView view(console);
    for (const Key::Kind kind : kinds) console.Press(kind);
    return view.WaitForMainEvent();
  };
  EXPECT_EQ(end_with({Key::kEscape}), MainEvent::Cancel);
  EXPECT_EQ(end_with({Key::kInterrupt}), MainEvent::Close);
  EXPECT_EQ(end_with({Key::kEndOfFile}), MainEvent::Close);
  EXPECT_EQ(end_with({Key::kClosed}), MainEvent::Close);
  // Enter in the first of two fields moves on; Tab and Up cycle.
  EXPECT_EQ(end_with({Key::kEnter, Key::kEnter}), MainEvent::Ok);
  EXPECT_EQ(end_with({Key::kNext, Key::kPrevious, Key::kPrevious, Key::kEnter}),
            MainEvent::Ok);
  EXPECT_EQ(end_with({Key::kIgnored, Key::kIgnored}), MainEvent::Close);
}

TEST_F(TerminalForm, CtrlDClosesOnlyAnEmptyFieldAndFocusMovesBothWays) {
  console_.Type("ab");
  console_.Press(Key::kEndOfFile);  // not empty: nothing
  console_.Press(Key::kPrevious);   // to the second field
  console_.Type("cd");
  console_.Press(Key::kNext);  // back to the first
  console_.Type("e");
  console_.Press(Key::kNext);
  console_.Press(Key::kEnter);
  EXPECT_EQ(view_.WaitForMainEvent(), MainEvent::Ok);
  EXPECT_EQ(view_.GetText(Control::txtPW1), "abe");
  EXPECT_EQ(view_.GetText(Control::txtPW2), "cd");
}

TEST_F(TerminalForm, AfterARefusalKeptTextsAreTypedOver) {
  console_.Type("abcd");
  console_.Press(Key::kEnter);
  console_.Type("abce");
  console_.Press(Key::kEnter);
  ASSERT_EQ(view_.WaitForMainEvent(), MainEvent::Ok);
  view_.MessageBox("Both passwords are not equal !!", Icon::Information);

  // The focus is back in the first field; typing replaces, Backspace
  // clears what was kept, Ctrl-D in a kept field does not close.
  console_.Press(Key::kEndOfFile);
  console_.Type("wxyz");
  console_.Press(Key::kEnter);
  console_.Press(Key::kBackspace);
  console_.Type("wxyz");
  console_.Press(Key::kEnter);
  ASSERT_EQ(view_.WaitForMainEvent(), MainEvent::Ok);
  EXPECT_EQ(view_.GetText(Control::txtPW1), "wxyz");
  EXPECT_EQ(view_.GetText(Control::txtPW2), "wxyz");
}

TEST_F(TerminalForm, WithoutATerminalEachFieldIsOneLineAsItStands) {
  console_.terminal_input = false;
  console_.lines = {" two words ", ""};
  EXPECT_EQ(view_.WaitForMainEvent(), MainEvent::Ok);
  EXPECT_EQ(view_.GetText(Control::txtPW1), " two words ");
  EXPECT_EQ(view_.GetText(Control::txtPW2), "");
  EXPECT_EQ(console_.error, "");  // no window drawn

  // Decrypting asks one field; the input ending closes.
  view_.SetVisible(Control::txtPW2, false);
  console_.lines = {"once", "left over"};
  EXPECT_EQ(view_.WaitForMainEvent(), MainEvent::Ok);
  EXPECT_EQ(view_.GetText(Control::txtPW1), "once");
  EXPECT_EQ(console_.lines.size(), 1u);
  console_.lines.clear();
  EXPECT_EQ(view_.WaitForMainEvent(), MainEvent::Close);
}

TEST_F(TerminalForm, QuestionsAnsweredByLines) {
  console_.terminal_input = false;
  const auto ask = [&](const std::string& line, bool in_set) {
    console_.lines = {line};
    return in_set ? view_.AskInSet("File already exists !\r\nOverwrite ?")
                  : view_.MessageBox("Overwrite ?", Icon::Question);
  };
  EXPECT_EQ(ask("y", false), Answer::Yes);
  EXPECT_EQ(ask("YES", false), Answer::Yes);
  EXPECT_EQ(ask("", false), Answer::No);
  EXPECT_EQ(ask("yes please", false), Answer::No);
  EXPECT_EQ(ask("c", false), Answer::No);  // alone, no Cancel is offered
  EXPECT_EQ(ask("c", true), Answer::Cancel);
  EXPECT_EQ(ask("Stop", true), Answer::Cancel);
  EXPECT_EQ(ask("n", true), Answer::No);
  console_.lines.clear();
  EXPECT_EQ(view_.MessageBox("Overwrite ?", Icon::Question), Answer::No);
  // A stop requested while waiting for the answer stops the set.
  console_.stop = true;
  EXPECT_EQ(view_.AskInSet("Overwrite ?"), Answer::Cancel);

  EXPECT_NE(console_.error.find("ovalith: question: File already exists !\n"
                                "Overwrite ? [y/N/c=stop] stop\n"),
            std::string::npos)
      << console_.error;
  EXPECT_NE(console_.error.find("Overwrite ? [y/N] yes\n"), std::string::npos);
}

TEST_F(TerminalForm, QuestionsAnsweredByKeys) {
  const auto ask = [&](Key key, bool in_set) {
    console_.keys = {{Key::kText, "x"}, key};
    return in_set ? view_.AskInSet("Overwrite ?")
                  : view_.MessageBox("Overwrite ?", Icon::Question);
  };
  EXPECT_EQ(ask({Key::kText, "Y"}, false), Answer::Yes);
  EXPECT_EQ(ask({Key::kText, "n"}, false), Answer::No);
  EXPECT_EQ(ask({Key::kEnter}, false), Answer::No);
  EXPECT_EQ(ask({Key::kEscape}, true), Answer::No);
  EXPECT_EQ(ask({Key::kText, "c"}, true), Answer::Cancel);
  EXPECT_EQ(ask({Key::kInterrupt}, true), Answer::Cancel);
  EXPECT_EQ(console_.keys_mode, 0);
  // Alone, Ctrl-C answers No and closes the window as it comes back.
  EXPECT_EQ(ask({Key::kInterrupt}, false), Answer::No);
  console_.Type("abcd");
  EXPECT_EQ(view_.WaitForMainEvent(), MainEvent::Close);
}

TEST_F(TerminalForm, MessagesGoToStandardErrorAndToTheWindowsTerminal) {
  console_.window_is_error = false;
  view_.MessageBox("Line one\r\nname\x1b[2J", Icon::Exclamation);
  const std::string expected = "ovalith: warning: Line one\nname\\x1b[2J\n";
  EXPECT_EQ(console_.error, expected);
  EXPECT_EQ(console_.window, expected);
  view_.ShowInformation("Usage: ovalith FILE...\n");
  EXPECT_EQ(console_.output, "Usage: ovalith FILE...\n");
  EXPECT_EQ(console_.error, expected);
}

TEST_F(TerminalForm, ProgressLineOnlyOnATerminalOnceTheSizeIsKnown) {
  view_.ProgressShow("Encrypting...");
  EXPECT_EQ(console_.error, "");
  view_.ProgressSetMax(1000);
  view_.ProgressSetStep("2 of 5: report.txt");
  view_.ProgressSetValue(500);
  EXPECT_NE(console_.error.find("\rEncrypting... 2 of 5: report.txt ["),
            std::string::npos)
      << console_.error;
  EXPECT_NE(console_.error.find(" 50%"), std::string::npos);
  view_.ProgressHide();
  EXPECT_TRUE(console_.error.ends_with("\r\x1b[K"));

  ScriptedConsole redirected;
  redirected.error_is_terminal = false;
  TerminalView view(redirected);
  view.ProgressShow("Decrypting...");
  view.ProgressSetMax(10);
  view.ProgressSetValue(5);
  view.ProgressHide();
  EXPECT_EQ(redirected.error, "");
}

}  // namespace
}  // namespace ovalith
