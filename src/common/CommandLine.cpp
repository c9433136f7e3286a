#include "common/CommandLine.h"

#include "common/VersionInfo.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDir>

#include <cstdio>

namespace {

// QGuiApplication's own options, taken out of the arguments later by the
// application object; those named here take a value.
const QStringList kQtValueOptions{
    QStringLiteral("platform"),        QStringLiteral("platformpluginpath"), QStringLiteral("platformtheme"),
    QStringLiteral("plugin"),          QStringLiteral("qwindowgeometry"),    QStringLiteral("qwindowtitle"),
    QStringLiteral("qwindowicon"),     QStringLiteral("session"),            QStringLiteral("display"),
    QStringLiteral("geometry"),        QStringLiteral("title"),              QStringLiteral("style"),
    QStringLiteral("stylesheet"),      QStringLiteral("name"),               QStringLiteral("qmljsdebugger")};
const QStringList kQtFlagOptions{QStringLiteral("reverse"), QStringLiteral("widgetcount"),
                                 QStringLiteral("nograb"), QStringLiteral("dograb"), QStringLiteral("sync")};

void Print(std::FILE* stream, const QString& text) { std::fputs(text.toLocal8Bit().constData(), stream); }

}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    // Qt's options are written with one dash ("-platform offscreen").
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption search(QStringLiteral("search"), QString(), QStringLiteral("TEXT"));
    const QCommandLineOption lookup(QStringLiteral("lookup"), QString(), QStringLiteral("TEXT"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(search);
    parser.addOption(lookup);
    for (const QString& name : kQtValueOptions) {
        QCommandLineOption option(name, QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const QString& name : kQtFlagOptions) {
        QCommandLineOption option(name);
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    CommandLine line;
    if (!parser.parse(arguments)) {
        line.action = CommandLine::Action::Error;
        line.error = parser.errorText();
    } else if (parser.isSet(help)) {
        line.action = CommandLine::Action::Help;
    } else if (parser.isSet(version)) {
        line.action = CommandLine::Action::Version;
    } else if (parser.positionalArguments().size() > 1) {
        line.action = CommandLine::Action::Error;
        line.error = QStringLiteral("one FILE at most, but %1 were given").arg(parser.positionalArguments().size());
    } else if (const qsizetype texts = parser.values(search).size() + parser.values(lookup).size(); texts > 1) {
        line.action = CommandLine::Action::Error;
        line.error = QStringLiteral("one --search or --lookup at most, but %1 were given").arg(texts);
    } else if (const QString text = parser.isSet(search) ? parser.value(search) : parser.value(lookup);
               text.size() > kMaxSearchTextLength) {
        line.action = CommandLine::Action::Error;
        line.error = QStringLiteral("the %1 text is too long: %2 characters, at most %3")
                         .arg(parser.isSet(search) ? QStringLiteral("search") : QStringLiteral("lookup"))
                         .arg(text.size())
                         .arg(kMaxSearchTextLength);
    } else {
        if (!parser.positionalArguments().isEmpty()) line.file = parser.positionalArguments().constFirst();
        if (parser.isSet(search)) line.searchText = parser.value(search);
        if (parser.isSet(lookup)) line.lookupText = parser.value(lookup);
    }
    return line;
}

std::vector<InstanceRequest> RequestsOf(const CommandLine& line, const QString& workingFolder,
                                        const QString& activationToken) {
    std::vector<InstanceRequest> requests;
    if (!line.file.isEmpty())
        requests.push_back({InstanceRequest::Kind::Open, QDir(workingFolder).absoluteFilePath(line.file),
                            activationToken});
    if (line.searchText) requests.push_back({InstanceRequest::Kind::Search, *line.searchText, activationToken});
    if (line.lookupText) requests.push_back({InstanceRequest::Kind::Lookup, *line.lookupText, activationToken});
    if (requests.empty()) requests.push_back({InstanceRequest::Kind::Show, QString(), activationToken});
    return requests;
}

QString UsageText(const QString& programName) {
    return QStringLiteral(
               "Usage: %1 [--search TEXT | --lookup TEXT] [FILE]\n"
               "       %1 --help | --version\n"
               "\n"
               "QuillorDic reads a medical English-Japanese dictionary kept in one text file\n"
               "(code page 932, one record per line: \"number headword///translation:::examples\").\n"
               "Pick a headword from the index, or search the whole text for up to three keys.\n"
               "\n"
               "  FILE           open this dictionary instead of the one shown last\n"
               "                 (ファイル → 開く opens another one later)\n"
               "  --search TEXT  put TEXT into the search box and search, as 検索 does\n"
               "  --lookup TEXT  show the record whose headword TEXT is, or an inflected form\n"
               "                 of (bacilli: bacillus); else offer headwords spelt nearly so;\n"
               "                 else search, as --search does\n"
               "  -h, --help     show this text and exit\n"
               "  -v, --version  show the version and exit\n"
               "\n"
               "One window serves each settings file: when QuillorDic runs already, FILE,\n"
               "--search and --lookup go to that window, which comes to the front, and this\n"
               "start ends.\n"
               "\n"
               "Settings: beside the program when its folder can be written (or they are there\n"
               "already) and it is not installed from the package; otherwise\n"
               "$XDG_CONFIG_HOME/QuillorDic/QuillorDic.ini (~/.config/QuillorDic/QuillorDic.ini).\n"
               "Edits unsaved at a logout: $XDG_STATE_HOME/QuillorDic (~/.local/state/QuillorDic),\n"
               "or beside the settings; offered again when their dictionary is next opened.\n"
               "The usage guide: ヘルプ → 使用説明. The manual: man quillordic.\n")
        .arg(programName);
}

int AnswerCommandLine(const CommandLine& line, const QString& programName) {
    switch (line.action) {
    case CommandLine::Action::Run:
        return -1;
    case CommandLine::Action::Help:
        Print(stdout, UsageText(programName));
        return 0;
    case CommandLine::Action::Version:
        Print(stdout, QStringLiteral("QuillorDic %1\n").arg(QString::fromStdString(GetFileVersionText())));
        return 0;
    case CommandLine::Action::Error:
        Print(stderr, QStringLiteral("%1: %2\n").arg(programName, line.error));
        Print(stderr, UsageText(programName));
        return 2;
    }
    return 2;
}
