#pragma once
// The command line: "quillordic [FILE]", --help and --version. It is read before the
// application object exists, so the two informational options need no display.

#include <QString>
#include <QStringList>

struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    QString file;   // the data file to open instead of the remembered one
    QString error;  // one line, for Action::Error
};

// `arguments` as the process got them, the program's own name first. Qt's own
// options (-platform, -style, ...) are accepted and left to the application object.
CommandLine ParseCommandLine(const QStringList& arguments);

// The usage text, naming the program as it was started.
QString UsageText(const QString& programName);

// Does what an informational or wrong command line asks (prints to stdout or
// stderr) and returns the exit status; returns -1 when the program is to run.
int AnswerCommandLine(const CommandLine& line, const QString& programName);
