// The command line, read before there is a window: what it asks for, and what a
// running window is handed for it.
#include "common/CommandLine.h"

#include <gtest/gtest.h>

namespace {

using Action = CommandLine::Action;
using Kind = InstanceRequest::Kind;

TEST(CommandLine, SaysWhatToOpenAndSearchAndRefusesTheRest) {
    const struct {
        QStringList arguments;  // after the program's name
        Action action;
        QString file;
        std::optional<QString> search;
    } cases[] = {
        {{}, Action::Run, "", std::nullopt},
        {{"辞書〜 ¥/dic.txt"}, Action::Run, "辞書〜 ¥/dic.txt", std::nullopt},
        {{"--search", "heart failure"}, Action::Run, "", "heart failure"},
        {{"--search=heart", "dic.txt"}, Action::Run, "dic.txt", "heart"},
        {{"--search", ""}, Action::Run, "", ""},  // the search itself says what is missing
        {{"--", "-x"}, Action::Run, "-x", std::nullopt},  // a file named like an option
        {{"-platform", "offscreen", "dic.txt"}, Action::Run, "dic.txt", std::nullopt},  // Qt's own
        {{"--help", "dic.txt"}, Action::Help, "", std::nullopt},
        {{"-v"}, Action::Version, "", std::nullopt},
        {{"a.txt", "b.txt"}, Action::Error, "", std::nullopt},
        {{"--search", "a", "--search", "b"}, Action::Error, "", std::nullopt},
        {{"--search", QString(kMaxSearchTextLength + 1, 'x')}, Action::Error, "", std::nullopt},
        {{"--bogus"}, Action::Error, "", std::nullopt},
        {{"--search"}, Action::Error, "", std::nullopt},
        {{"--lookup", "a", "--search", "b"}, Action::Error, "", std::nullopt},
        {{"--lookup", QString(kMaxSearchTextLength + 1, 'x')}, Action::Error, "", std::nullopt},
    };
    for (const auto& [arguments, action, file, search] : cases) {
        SCOPED_TRACE(arguments.join(' ').left(80).toStdString());
        const CommandLine line = ParseCommandLine(QStringList{"quillordic"} + arguments);
        EXPECT_EQ(line.action, action);
        EXPECT_EQ(line.error.isEmpty(), action != Action::Error);
        if (action != Action::Run) continue;
        EXPECT_EQ(line.file, file);
        EXPECT_EQ(line.searchText, search);
    }
    EXPECT_EQ(ParseCommandLine({"quillordic", "--search", QString(kMaxSearchTextLength, 'x')}).action, Action::Run);
}

TEST(CommandLine, HandsARunningWindowAnAbsoluteFileThenTheSearch) {
    const auto requests = [](const QStringList& arguments) {
        return RequestsOf(ParseCommandLine(QStringList{"quillordic"} + arguments), "/home/u/辞書〜", "tok");
    };
    using Requests = std::vector<InstanceRequest>;
    EXPECT_EQ(requests({}), (Requests{{Kind::Show, "", "tok"}}));
    EXPECT_EQ(requests({"¥ dic.txt", "--search", "heart"}),
              (Requests{{Kind::Open, "/home/u/辞書〜/¥ dic.txt", "tok"}, {Kind::Search, "heart", "tok"}}));
    EXPECT_EQ(requests({"/srv/dic.txt"}), (Requests{{Kind::Open, "/srv/dic.txt", "tok"}}));
    EXPECT_EQ(requests({"--search", ""}), (Requests{{Kind::Search, "", "tok"}}));
    EXPECT_EQ(requests({"--lookup", "bacilli", "dic.txt"}),
              (Requests{{Kind::Open, "/home/u/辞書〜/dic.txt", "tok"}, {Kind::Lookup, "bacilli", "tok"}}));
}

}  // namespace
