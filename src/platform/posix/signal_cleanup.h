// signal_cleanup.h: what must be undone when a signal ends the program: the
// terminal left in character mode, a half-written temporary output file, a
// progress line without its line end.  The handlers undo it, then let the
// signal end the process as it would have.  Signals a run provokes on
// itself by writing are turned into write errors instead.
#pragma once

#include <termios.h>

#include <string>

namespace ovalith {

// Handles SIGINT, SIGTERM, SIGHUP and SIGQUIT, except those the parent
// left ignored; ignores SIGPIPE and SIGXFSZ, so that a closed reader or a
// file-size limit is an error of the write that met it (EPIPE, EFBIG).
void InstallSignalCleanup();

// The terminal settings to put back on fd; Forget when they are back.
void CleanupRestoreTerminal(int fd, const termios& settings);
void CleanupForgetTerminal();

// The temporary file being written (relative to the working directory).
void CleanupRemoveFile(const std::string& name);
void CleanupForgetFile();

// A progress line is drawn on fd (or none, with -1).
void CleanupEndLine(int fd);

// While on (during a run), the first SIGINT, SIGTERM or SIGHUP only asks the
// run to stop, which it does at its next progress update, removing its
// output and ending with a summary; a second one ends the program at once
// as above.
void StopOnSignal(bool on);
bool StopWasRequested();

}  // namespace ovalith
