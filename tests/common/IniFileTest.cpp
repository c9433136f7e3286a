#include "common/IniFile.h"

#include "TempDir.h"
#include "common/Errors.h"
#include "common/SystemHelpers.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// Answers every question with `answer` and counts them, for the life of the object.
class ScriptedAnswers {
public:
    explicit ScriptedAnswers(int answer)
        : previous_(SetAskUserHandler([this, answer](std::string_view text, std::string_view caption, int flags) {
              ++asked;
              lastText = text;
              lastCaption = caption;
              lastFlags = flags;
              return answer;
          })) {}
    ~ScriptedAnswers() { SetAskUserHandler(std::move(previous_)); }

    int asked = 0;
    std::string lastText, lastCaption;
    int lastFlags = 0;

private:
    AskUserHandler previous_;
};

void MakeReadOnly(const std::string& path) { fs::permissions(path, fs::perms::owner_read | fs::perms::group_read); }
bool IsReadOnly(const std::string& path) {
    return (fs::status(path).permissions() & fs::perms::owner_write) == fs::perms::none;
}

TEST(IniFile, WritesSectionsAndKeysInTheirOrderWithQuotesAndCrLf) {
    TempDir dir;
    const std::string ini = dir.File("QuillorDic.ini");
    WriteIniValue(ini, "FORM", "TOP", false, "1");
    EXPECT_FALSE(fs::exists(ini)) << "only a write allowed to create the file creates it";

    WriteIniValue(ini, "FORM", "TOP", true, "143");
    WriteIniValue(ini, "FORM", "LEFT", false, "234");
    WriteIniValue(ini, "SEARCH", "MaxOfSelection", false, "300");
    WriteIniValue(ini, "form", "top", false, "150");  // replaces the line, whatever the case
    WriteIniValue(ini, "Form", "Width", false, "737");  // a new key goes to the end of its section
    EXPECT_EQ(TempDir::Read(ini),
              "[FORM]\r\ntop=\"150\"\r\nLEFT=\"234\"\r\nWidth=\"737\"\r\n\r\n"
              "[SEARCH]\r\nMaxOfSelection=\"300\"\r\n\r\n");

    EXPECT_EQ(ReadIniValue(ini, "form", "WIDTH"), "737");
    EXPECT_EQ(ReadIniValue(ini, "FORM", "HEIGHT"), "ER");
    EXPECT_EQ(ReadIniValue(ini, "VIEW", "SepNum"), "ER");
    EXPECT_EQ(ReadIniValue(dir.File("missing.ini"), "FORM", "TOP"), "ER");

    EraseIniSection(ini, "form");
    EXPECT_EQ(TempDir::Read(ini), "[SEARCH]\r\nMaxOfSelection=\"300\"\r\n\r\n");
    EraseIniSection(ini, "NOSUCH");
    EXPECT_EQ(TempDir::Read(ini), "[SEARCH]\r\nMaxOfSelection=\"300\"\r\n\r\n");
}

TEST(IniFile, QuotesComeOffOncePairedAtTheFront) {
    EXPECT_EQ(QuoteValue("a\"b"), "\"a\"b\"");
    EXPECT_EQ(StripQuotes("\"abc\"", '"'), "abc");
    EXPECT_EQ(StripQuotes("\"", '"'), "");
    EXPECT_EQ(StripQuotes("\"abc", '"'), "abc");
    EXPECT_EQ(StripQuotes("abc\"", '"'), "abc\"");  // a trailing quote stays without a leading one
    EXPECT_EQ(StripQuotes("\"\"x\"\"", '"'), "\"x\"");
    EXPECT_EQ(StripQuotes("", '"'), "");

    TempDir dir;
    const std::string ini = dir.Write("q.ini", "[V]\r\nA=\"\r\nB=\"open\r\nC= spaced \r\nD=x=y\r\n");
    EXPECT_EQ(ReadIniValue(ini, "V", "A"), "");
    EXPECT_EQ(ReadIniValue(ini, "V", "B"), "open");
    EXPECT_EQ(ReadIniValue(ini, "V", "C"), " spaced ") << "a value is not trimmed";
    EXPECT_EQ(ReadIniValue(ini, "V", "D"), "x=y");
}

// Whatever a value holds at its ends, it is stored as key="value" and read back as it
// was written: one pair of quotes goes on, and the same pair comes off.
TEST(IniFile, AValueReadsBackAsWrittenWhateverItsEnds) {
    TempDir dir;
    const std::string ini = dir.File("values.ini");
    for (const std::string value : {"\"quoted\"", "\"open", "close\"", "\"", "\"\"", "", " lead", "trail ", "  ",
                                     ";comment", "a=b", "[NOT]", "\t\x81\x40x\x81\x40"}) {
        WriteIniValue(ini, "V", "K", true, value);
        EXPECT_EQ(ReadIniValue(ini, "V", "K"), value) << "[" << value << "]";
        EXPECT_EQ(TempDir::Read(ini), "[V]\r\nK=\"" + value + "\"\r\n\r\n");
    }
}

TEST(IniFile, DamagedFilesAreReadWithoutHarmAndTheFirstKeyCounts) {
    TempDir dir;
    std::string garbage = "\xff\xfe\x00\x01[\x81]\n=\n";
    garbage.append(1 << 20, 'z');  // a 1 MB line
    garbage += "\n[S]\nno equals sign\r\n; K=comment\nK=first\n[s]\nK=second\nk=third\n[S\nL\xe0=\x82\xa0\n";
    const std::string ini = dir.Write("bad.ini", garbage);
    EXPECT_EQ(ReadIniValue(ini, "S", "K"), "first");
    EXPECT_EQ(ReadIniValue(ini, "S", "L\xe0"), "\x82\xa0");
    EXPECT_EQ(ReadIniValue(ini, "S", "no equals sign"), "ER");

    // A write keeps every other line, and a repeated section joins the first.
    WriteIniValue(ini, "S", "K", false, "new");
    EXPECT_EQ(ReadIniValue(ini, "S", "K"), "new");
    const std::string after = TempDir::Read(ini);
    EXPECT_NE(after.find("no equals sign\r\n; K=comment\r\nK=\"new\"\r\nK=second\r\nk=third\r\n"), std::string::npos)
        << after.substr(after.size() - 200);
    EXPECT_NE(after.find(std::string(1 << 20, 'z')), std::string::npos);

    // A folder in place of the file reads as a missing file and cannot be written.
    fs::create_directory(dir.File("folder.ini"));
    EXPECT_EQ(ReadIniValue(dir.File("folder.ini"), "S", "K"), "ER");
    EXPECT_THROW(WriteIniValue(dir.File("folder.ini"), "S", "K", true, "v"), QuillorError);
}

TEST(IniFile, AReadOnlyFileIsWrittenOnlyAfterTheUserSaysSo) {
    TempDir dir;
    const std::string ini = dir.Write("ro.ini", "[A]\r\nK=\"old\"\r\n\r\n");
    MakeReadOnly(ini);
    {
        ScriptedAnswers cancel(AskAnswer::Cancel);
        WriteIniValue(ini, "A", "K", false, "new");
        WriteIniValue(ini, "A", "K", false, "new");
        EXPECT_EQ(cancel.asked, 2) << "every write asks again";
        EXPECT_EQ(cancel.lastText, "読み出し専用です。書き込みますか");
        EXPECT_EQ(cancel.lastCaption, "問合わせ");
        EXPECT_EQ(cancel.lastFlags, AskFlags::OkCancel | AskFlags::IconInformation);
        EXPECT_EQ(ReadIniValue(ini, "A", "K"), "old");
        EXPECT_TRUE(IsReadOnly(ini));
        // Erasing does not ask, and cannot write the read-only file.
        EXPECT_THROW(EraseIniSection(ini, "A"), QuillorError);
        EXPECT_EQ(cancel.asked, 2);
        EXPECT_EQ(ReadIniValue(ini, "A", "K"), "old");
    }
    ScriptedAnswers ok(AskAnswer::Ok);
    WriteIniValue(ini, "A", "K", false, "new");
    WriteIniValue(ini, "A", "L", false, "more");
    EXPECT_EQ(ok.asked, 1) << "OK makes the file writable for the writes after it";
    EXPECT_FALSE(IsReadOnly(ini));
    EXPECT_EQ(TempDir::Read(ini), "[A]\r\nK=\"new\"\r\nL=\"more\"\r\n\r\n");
}

TEST(IniFile, AFolderThatCannotHoldTheFileRaisesTheCreationError) {
    TempDir dir;
    const std::string ini = dir.File("no-such-folder/QuillorDic.ini");
    try {
        WriteIniValue(ini, "FORM", "TOP", true, "1");
        FAIL() << "no error";
    } catch (const QuillorError& error) {
        EXPECT_EQ(std::string(error.what()), "ファイル " + ini + " を作成できません: " + std::strerror(ENOENT));
    }
}

}  // namespace

namespace {

TEST(IniFile, AFileThatCannotBeReadIsNotRewrittenFromNothing) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads files without read permission";
    TempDir dir;
    const std::string ini = dir.Write("locked.ini", "[A]\r\nK=\"kept\"\r\n\r\n");
    fs::permissions(ini, fs::perms::owner_write);
    EXPECT_EQ(ReadIniValue(ini, "A", "K"), "ER");
    EXPECT_THROW(WriteIniValue(ini, "A", "L", false, "v"), QuillorError);
    EXPECT_THROW(EraseIniSection(ini, "A"), QuillorError);
    fs::permissions(ini, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(TempDir::Read(ini), "[A]\r\nK=\"kept\"\r\n\r\n");
}

}  // namespace
