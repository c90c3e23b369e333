#include "startup/command_line.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace ovalith {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using Args = std::vector<std::string>;

TEST(CommandText, SplitsAsWindowsSplitsSeveralFiles) {
  struct Case {
    const char* text;
    Args args;
  };
  for (const Case& c : std::vector<Case>{
           // Send To and drag and drop: quotes around paths with spaces.
           {R"("C:\My Files\a.txt" "C:\My Files\b.txt")",
            {R"(C:\My Files\a.txt)", R"(C:\My Files\b.txt)"}},
           {R"(C:\a.txt C:\b.txt)", {R"(C:\a.txt)", R"(C:\b.txt)"}},
           {"  a \t b  ", {"a", "b"}},
           {R"(x"y z"w)", {"xy zw"}},
           // Backslashes count only before a quote.
           {R"(C:\dir\ "a\"b" "c\\" d\\\"e)",
            {R"(C:\dir\)", R"(a"b)", R"(c\)", R"(d\"e)"}},
           {R"("unterminated quote)", {"unterminated quote"}},
           {R"("" "a""b")", {"", R"(a"b)"}},
           {"", {}},
       }) {
    SCOPED_TRACE(c.text);
    EXPECT_THAT(SplitWindowsArguments(c.text), ElementsAreArray(c.args));
  }
}

TEST(CommandText, KeepsTheWholeTextAsOnePathAndTheOptionAsItWas) {
  CommandLine line = ParseCommandText(R"(  "C:\x y\a.txt" /pw=se cret  )");
  EXPECT_EQ(line.path, R"(C:\x y\a.txt)");
  EXPECT_THAT(line.paths, ElementsAre(R"(C:\x y\a.txt)"));
  EXPECT_EQ(line.password, "se cret");
  line = ParseCommandText(R"(C:\my notes.txt)");
  EXPECT_EQ(line.path, R"(C:\my notes.txt)");
  EXPECT_THAT(line.paths, ElementsAre(R"(C:\my)", "notes.txt"));
  EXPECT_EQ(ParseCommandText("/choose").request, Request::kChooseFiles);
  EXPECT_THAT(ParseCommandText("/choose").paths, ElementsAre());
  // A quoted option leaves a quote behind, which names no file.
  line = ParseCommandText(R"("C:\a b.txt" "/pw=x y")");
  EXPECT_EQ(line.path, "C:\\a b.txt\" ");
  EXPECT_THAT(line.paths, ElementsAre(R"(C:\a b.txt)"));
  EXPECT_EQ(ParseCommandText("/choose /pw=abcd").request, Request::kRun);
}

TEST(Arguments, FilesOptionsAndTheEndOfOptions) {
  struct Case {
    Args args;
    Request request;
    std::string path;
    Args paths;
  };
  for (const Case& c : std::vector<Case>{
           {{"a.txt", "b.txt"},
            Request::kRun,
            "a.txt b.txt",
            {"a.txt", "b.txt"}},
           {{"--help"}, Request::kHelp, "", {}},
           {{"a.txt", "--version"}, Request::kVersion, "a.txt", {"a.txt"}},
           {{"--version", "--help"}, Request::kHelp, "", {}},
           {{"--choose"}, Request::kChooseFiles, "", {}},
           {{"--choose", "x.ov2"}, Request::kChooseFiles, "x.ov2", {"x.ov2"}},
           {{"--", "--help", "-x"},
            Request::kRun,
            "--help -x",
            {"--help", "-x"}},
           // Other arguments that begin with "-" were always names.
           {{"-report.txt"}, Request::kRun, "-report.txt", {"-report.txt"}},
       }) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    CommandLine line = ParseArguments(c.args);
    EXPECT_EQ(line.request, c.request);
    EXPECT_EQ(line.path, c.path);
    EXPECT_THAT(line.paths, ElementsAreArray(c.paths));
    EXPECT_FALSE(line.password);
  }
  // Nothing after the option is an option or a file.
  CommandLine line = ParseArguments({"a.txt", "/pw=x", "--help", "y "});
  EXPECT_EQ(line.request, Request::kRun);
  EXPECT_THAT(line.paths, ElementsAre("a.txt"));
  EXPECT_EQ(line.password, "x --help y");
}

}  // namespace
}  // namespace ovalith
