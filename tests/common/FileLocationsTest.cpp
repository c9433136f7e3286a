#include "common/FileLocations.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <filesystem>

#include <pwd.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// A layout made of empty files under a temporary root: paths relative to it.
struct Layout {
    const char* what;
    const char* executable;
    std::vector<const char*> files;
    const char* xdgConfigHome;  // relative to the root unless absolute or empty
    bool readOnlyProgramFolder;
    // Expected, relative to the root ("" for none).
    const char* settings;
    const char* folderToCreate;
    const char* guide;
    const char* sample;
    const char* firstStartSample;
};

QString Under(const QString& root, const char* relative) {
    return *relative ? QDir::cleanPath(root + QLatin1Char('/') + QString::fromUtf8(relative)) : QString();
}

TEST(LocateFiles, SettingsGuideAndSampleInEachLayout) {
    const Layout layouts[] = {
        {"the build folder or a one-folder install", "portable/QuillorDic",
         {"portable/QuillorDic.mht", "portable/Tarnowe_Medical_Dic.txt"}, "config", false,
         "portable/QuillorDic.ini", "", "portable/QuillorDic.mht", "portable/Tarnowe_Medical_Dic.txt",
         "portable/Tarnowe_Medical_Dic.txt"},
        {"a writable folder with neither a guide beside it nor share/: not installed", "bare/QuillorDic", {},
         "config", false, "bare/QuillorDic.ini", "", "share/quillordic/QuillorDic.mht",
         "bare/Tarnowe_Medical_Dic.txt", ""},
        {"a one-folder install the user cannot write", "locked/QuillorDic", {"locked/QuillorDic.mht"}, "config", true,
         "config/QuillorDic/QuillorDic.ini", "config/QuillorDic", "locked/QuillorDic.mht",
         "locked/Tarnowe_Medical_Dic.txt", ""},
        {"a settings file that exists beside the program is kept", "locked/QuillorDic",
         {"locked/QuillorDic.ini", "locked/Tarnowe_Medical_Dic.txt"}, "config", true,
         "locked/QuillorDic.ini", "", "share/quillordic/QuillorDic.mht", "locked/Tarnowe_Medical_Dic.txt", ""},
        {"the package, even where root could write its folder", "usr/bin/quillordic",
         {"usr/share/quillordic/QuillorDic.mht", "usr/share/quillordic/Tarnowe_Medical_Dic.txt"}, "config", false,
         "config/QuillorDic/QuillorDic.ini", "config/QuillorDic", "usr/share/quillordic/QuillorDic.mht",
         "usr/share/quillordic/Tarnowe_Medical_Dic.txt", "usr/share/quillordic/Tarnowe_Medical_Dic.txt"},
        {"the package with XDG_CONFIG_HOME unset", "usr/bin/quillordic",
         {"usr/share/quillordic/QuillorDic.mht"}, "", false,
         "home/.config/QuillorDic/QuillorDic.ini", "home/.config/QuillorDic", "usr/share/quillordic/QuillorDic.mht",
         "usr/bin/Tarnowe_Medical_Dic.txt", ""},
        {"the package with a relative XDG_CONFIG_HOME, which does not count", "usr/bin/quillordic",
         {"usr/share/quillordic/QuillorDic.mht"}, "relative/config", false,
         "home/.config/QuillorDic/QuillorDic.ini", "home/.config/QuillorDic", "usr/share/quillordic/QuillorDic.mht",
         "usr/bin/Tarnowe_Medical_Dic.txt", ""},
        {"the package after the first start: the settings decide", "usr/bin/quillordic",
         {"usr/share/quillordic/Tarnowe_Medical_Dic.txt", "config/QuillorDic/QuillorDic.ini"}, "config", false,
         "config/QuillorDic/QuillorDic.ini", "config/QuillorDic", "usr/share/quillordic/QuillorDic.mht",
         "usr/share/quillordic/Tarnowe_Medical_Dic.txt", ""},
        {"a portable build's first start, though the package's settings exist", "portable/QuillorDic",
         {"portable/QuillorDic.mht", "portable/Tarnowe_Medical_Dic.txt", "config/QuillorDic/QuillorDic.ini"}, "config",
         false, "portable/QuillorDic.ini", "", "portable/QuillorDic.mht", "portable/Tarnowe_Medical_Dic.txt",
         "portable/Tarnowe_Medical_Dic.txt"},
        {"folders with 〜, ¥ and blanks", "辞書〜 2024/¥bin/QuillorDic",
         {"辞書〜 2024/¥bin/QuillorDic.mht", "辞書〜 2024/¥bin/Tarnowe_Medical_Dic.txt"}, "設定 〜", false,
         "辞書〜 2024/¥bin/QuillorDic.ini", "", "辞書〜 2024/¥bin/QuillorDic.mht",
         "辞書〜 2024/¥bin/Tarnowe_Medical_Dic.txt", "辞書〜 2024/¥bin/Tarnowe_Medical_Dic.txt"},
    };
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.what);
        if (layout.readOnlyProgramFolder && ::geteuid() == 0) continue;  // root writes anywhere
        TempDir dir;
        const QString root = QString::fromStdString(dir.path().string());
        const QString executable = Under(root, layout.executable);
        std::vector<const char*> files = layout.files;
        files.push_back(layout.executable);
        for (const char* file : files) {
            const QString path = Under(root, file);
            ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
            QFile(path).open(QIODevice::WriteOnly);
        }
        if (layout.readOnlyProgramFolder)
            fs::permissions(QFile::encodeName(QFileInfo(executable).path()).toStdString(),
                            fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                            fs::perm_options::remove);
        const QString xdg = *layout.xdgConfigHome == 0 ? QString()
                            : QByteArray(layout.xdgConfigHome).startsWith("relative")
                                ? QString::fromUtf8(layout.xdgConfigHome)
                                : Under(root, layout.xdgConfigHome);

        const FileLocations found = LocateFiles(executable, {xdg, QString(), root + QStringLiteral("/home"), QString()});

        EXPECT_EQ(found.settings, Under(root, layout.settings));
        EXPECT_EQ(found.settingsFolderToCreate, Under(root, layout.folderToCreate));
        EXPECT_EQ(found.guide, Under(root, layout.guide));
        EXPECT_EQ(found.sample, Under(root, layout.sample));
        EXPECT_EQ(found.firstStartSample, Under(root, layout.firstStartSample));
        // Edits kept at a logout: beside the settings in the portable layout, else in
        // the user's state folder.
        const QString state = root + QStringLiteral("/home/.local/state/QuillorDic");
        EXPECT_EQ(found.stateFolder, state);
        EXPECT_EQ(found.keptEditsFolder, found.settingsFolderToCreate.isEmpty() ? QFileInfo(found.settings).path() : state);
        // The history and the word list: beside the settings, else in the user's data folder.
        EXPECT_EQ(found.database, (found.settingsFolderToCreate.isEmpty()
                                       ? QFileInfo(found.settings).path()
                                       : root + QStringLiteral("/home/.local/share/QuillorDic")) +
                                      QStringLiteral("/quillordic.sqlite"));
        if (layout.readOnlyProgramFolder)
            fs::permissions(QFile::encodeName(QFileInfo(executable).path()).toStdString(), fs::perms::owner_write,
                            fs::perm_options::add);
    }
}

TEST(LocateFiles, TheUsersFoldersAreTheUsersOwn) {
    // HOME unset, as under some service managers: the password database says where.
    const QByteArray home = qgetenv("HOME");
    qunsetenv("HOME");
    const passwd* user = ::getpwuid(::geteuid());
    ASSERT_NE(user, nullptr);
    EXPECT_EQ(CurrentLocationEnvironment().home, QFile::decodeName(user->pw_dir));
    qputenv("HOME", home);

    TempDir dir;
    const QString root = QString::fromStdString(dir.path().string());
    const QString executable = root + QStringLiteral("/usr/bin/quillordic");
    ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("/usr/share/quillordic")));
    const QString config = root + QStringLiteral("/xdg-config");
    const QString state = root + QStringLiteral("/xdg-state");
    const QString data = root + QStringLiteral("/xdg-data");
    ASSERT_TRUE(QDir().mkpath(config) && QDir().mkpath(state) && QDir().mkpath(data));
    const LocationEnvironment environment{config, state, root + QStringLiteral("/home"), data};
    FileLocations found = LocateFiles(executable, environment);
    EXPECT_EQ(found.settings, config + QStringLiteral("/QuillorDic/QuillorDic.ini"));
    EXPECT_EQ(found.keptEditsFolder, state + QStringLiteral("/QuillorDic"));
    EXPECT_EQ(found.database, data + QStringLiteral("/QuillorDic/quillordic.sqlite"));
    EXPECT_EQ(found.databaseFolderToCreate, data + QStringLiteral("/QuillorDic"));

    // Folders of another user's named by the variables are no place for this user's files.
    if (::geteuid() != 0) GTEST_SKIP() << "folders of another user: only root can make them";
    for (const QString& folder : {config, state, data}) ASSERT_EQ(::chown(QFile::encodeName(folder), 65534, 65534), 0);
    found = LocateFiles(executable, environment);
    EXPECT_EQ(found.settings, root + QStringLiteral("/home/.config/QuillorDic/QuillorDic.ini"));
    EXPECT_EQ(found.keptEditsFolder, root + QStringLiteral("/home/.local/state/QuillorDic"));
    EXPECT_EQ(found.database, root + QStringLiteral("/home/.local/share/QuillorDic/quillordic.sqlite"));
}

}  // namespace
