#include "common/DesktopShortcut.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

// HOME and XDG_CONFIG_HOME pointed into a fresh folder for one test.
class FakeHome {
public:
    FakeHome() {
        Save("HOME", home_);
        Save("XDG_CONFIG_HOME", config_);
        ::setenv("HOME", dir.path().c_str(), 1);
        ::unsetenv("XDG_CONFIG_HOME");
    }
    ~FakeHome() {
        Restore("HOME", home_);
        Restore("XDG_CONFIG_HOME", config_);
    }
    TempDir dir;

private:
    static void Save(const char* name, std::optional<std::string>& slot) {
        if (const char* value = std::getenv(name)) slot = value;
    }
    static void Restore(const char* name, const std::optional<std::string>& slot) {
        if (slot) ::setenv(name, slot->c_str(), 1);
        else ::unsetenv(name);
    }
    std::optional<std::string> home_, config_;
};

TEST(MakeDesktopShortcut, WritesAnExecutableLauncherAndRemovesIt) {
    FakeHome home;
    MakeDesktopShortcut("/opt/quillor/QuillorDic", "QuillorDic", true);
    const std::string launcher = home.dir.File("Desktop/QuillorDic.desktop");
    const std::string text = TempDir::Read(launcher);
    EXPECT_NE(text.find("Exec=\"/opt/quillor/QuillorDic\""), std::string::npos);
    EXPECT_NE(text.find("Path=/opt/quillor\n"), std::string::npos);
    EXPECT_NE(text.find("Name=QuillorDic\n"), std::string::npos);
    EXPECT_NE(fs::status(launcher).permissions() & fs::perms::owner_exec, fs::perms::none);

    MakeDesktopShortcut("/opt/quillor/QuillorDic", "QuillorDic", false);
    EXPECT_FALSE(fs::exists(launcher));
}

TEST(DesktopFolder, FollowsTheUserDirsFile) {
    FakeHome home;
    EXPECT_EQ(DesktopFolder(), home.dir.File("Desktop"));
    fs::create_directories(home.dir.File(".config"));
    home.dir.Write(".config/user-dirs.dirs", "# comment\nXDG_DESKTOP_DIR=\"$HOME/デスクトップ\"\n");
    EXPECT_EQ(DesktopFolder(), home.dir.File("デスクトップ"));
}

}  // namespace

namespace {

TEST(LauncherText, QuotesAndEscapesTheProgramAndTakesAFileWhenAsked) {
    const std::string text =
        LauncherText({"QuillorDic", "Reader", "/opt/my $dir/a\"b\\c%/QuillorDic", "/opt/icon.png", true});
    EXPECT_NE(text.find("Exec=\"/opt/my \\\\$dir/a\\\\\"b\\\\\\\\c%%/QuillorDic\" %f\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Path=/opt/my $dir/a\"b\\\\c%\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Icon=/opt/icon.png\n"), std::string::npos);
    EXPECT_NE(text.find("MimeType=text/plain;\n"), std::string::npos);
    EXPECT_TRUE(text.starts_with("[Desktop Entry]\nType=Application\nName=QuillorDic\n"));

    const std::string plain = LauncherText({"QuillorDic", "QuillorDic", "/opt/q/QuillorDic", "", false});
    EXPECT_NE(plain.find("Exec=\"/opt/q/QuillorDic\"\n"), std::string::npos);
    EXPECT_EQ(plain.find("Icon="), std::string::npos);
    EXPECT_EQ(plain.find("MimeType"), std::string::npos);
}

}  // namespace
