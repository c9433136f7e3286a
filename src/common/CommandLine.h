#pragma once
// The command line: "quillordic [--search TEXT | --lookup TEXT] [FILE]", --help and --version. It is
// read before the application object exists, so the two informational options and a
// wrong command line need no display.

#include "common/InstanceRequest.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    QString file;   // the data file to open instead of the remembered one
    std::optional<QString> searchText;  // --search TEXT: searched once the window stands
    std::optional<QString> lookupText;  // --lookup TEXT: looked up once the window stands
    QString error;  // one line, for Action::Error
};

// The longest --search or --lookup TEXT, in UTF-16 code units: it fits the search box, which holds
// 32767, and a request to a running window (three UTF-8 bytes each at most). A longer
// one is no word to look up but a slip of the selection, and is refused.
inline constexpr qsizetype kMaxSearchTextLength = 16384;

// `arguments` as the process got them, the program's own name first. Qt's own
// options (-platform, -style, ...) are accepted and left to the application object.
CommandLine ParseCommandLine(const QStringList& arguments);

// What the command line asks of a window that runs already, in order: open FILE (made
// absolute against `workingFolder`, since the window has a working folder of its
// own), then search or look up TEXT; with neither, only come to the front. Each carries the
// desktop's `activationToken`.
std::vector<InstanceRequest> RequestsOf(const CommandLine& line, const QString& workingFolder,
                                        const QString& activationToken);

// The usage text, naming the program as it was started.
QString UsageText(const QString& programName);

// Does what an informational or wrong command line asks (prints to stdout or
// stderr) and returns the exit status; returns -1 when the program is to run.
int AnswerCommandLine(const CommandLine& line, const QString& programName);
