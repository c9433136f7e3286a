// Where a window listens for later starts: only ever in a folder of this user's alone,
// whatever the environment says and whatever another user made first.
#include "common/InstanceAddress.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <functional>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString Q(const std::filesystem::path& path) { return QFile::decodeName(QByteArray::fromStdString(path.string())); }

mode_t ModeOf(const QString& path) {
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777 : 0;
}

// Hands `path` to nobody, as another user of the machine would own it.
void GiveToNobody(const QString& path) {
    const passwd* nobody = ::getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    ASSERT_EQ(::lchown(QFile::encodeName(path).constData(), nobody->pw_uid, nobody->pw_gid), 0);
}

TEST(InstanceAddress, LiesInTheFirstFolderThatIsThisUsersAlone) {
    enum Where { Runtime, OwnTemp, State, Nowhere };
    const struct {
        const char* what;
        std::function<void(const QString& runtime, const QString& ownTemp)> prepare;
        bool relativeRuntime;
        Where where;
    } cases[] = {
        {"a private runtime folder", [](auto& runtime, auto&) { ::chmod(QFile::encodeName(runtime), 0700); }, false,
         Runtime},
        {"a runtime folder others may enter", [](auto& runtime, auto&) { ::chmod(QFile::encodeName(runtime), 0755); },
         false, OwnTemp},
        {"a relative runtime folder", [](auto&, auto&) {}, true, OwnTemp},
        {"a runtime folder that is a link to a private one",
         [](const QString& runtime, auto&) {
             ::chmod(QFile::encodeName(runtime), 0700);  // private itself: only the link counts against it
             QDir().rename(runtime, runtime + "-real");
             QFile::link(runtime + "-real", runtime);
         },
         false, OwnTemp},
        {"the temporary folder's name taken by a file",
         [](auto& runtime, const QString& ownTemp) {
             ::chmod(QFile::encodeName(runtime), 0755);
             QFile(ownTemp).open(QIODevice::WriteOnly);
         },
         false, State},
        {"the temporary folder's name a link to a private folder",
         [](const QString& runtime, const QString& ownTemp) {
             ::chmod(QFile::encodeName(runtime), 0755);
             QFile::link(runtime, ownTemp);
         },
         false, State},
        {"the user's own temporary folder left open: tightened",
         [](auto& runtime, const QString& ownTemp) {
             ::chmod(QFile::encodeName(runtime), 0755);
             ::mkdir(QFile::encodeName(ownTemp), 0777);
             ::chmod(QFile::encodeName(ownTemp), 0777);
         },
         false, OwnTemp},
    };
    for (const auto& [what, prepare, relativeRuntime, where] : cases) {
        SCOPED_TRACE(what);
        TempDir dir;
        const QString runtime = Q(dir.path() / "run 〜");
        const QString temp = Q(dir.path() / "tmp");
        const QString state = Q(dir.path() / "state");  // short: a socket name has a limit
        const QString ownTemp = temp + QStringLiteral("/QuillorDic-%1").arg(::geteuid());
        ASSERT_TRUE(QDir().mkpath(runtime));
        ASSERT_TRUE(QDir().mkpath(temp));
        prepare(runtime, ownTemp);
        const InstanceEnvironment environment{relativeRuntime ? QStringLiteral("run") : runtime, temp, state};

        const std::optional<InstanceAddress> address = FindInstanceAddress("/home/u/QuillorDic.ini", environment);
        ASSERT_TRUE(address.has_value());
        const QString folder = where == Runtime ? runtime : where == OwnTemp ? ownTemp : state;
        EXPECT_EQ(QFileInfo(address->socket).path(), folder);
        EXPECT_EQ(address->lock, address->socket + ".lock");
        EXPECT_EQ(ModeOf(folder), 0700u);
        if (where != Runtime) {
            EXPECT_TRUE(QFileInfo(folder).isDir() && !QFileInfo(folder).isSymLink());
        }
    }
}

TEST(InstanceAddress, NeverInAFolderAnotherUserMadeFirst) {
    if (::geteuid() != 0) GTEST_SKIP() << "folders of another user: only root can make them";
    TempDir dir;
    const QString runtime = Q(dir.path() / "run");
    const QString temp = Q(dir.path() / "tmp");
    const QString state = Q(dir.path() / "state");
    const QString ownTemp = temp + QStringLiteral("/QuillorDic-%1").arg(::geteuid());
    ASSERT_TRUE(QDir().mkpath(runtime) && QDir().mkpath(ownTemp));
    ::chmod(QFile::encodeName(runtime), 0700);
    ::chmod(QFile::encodeName(ownTemp), 0700);
    GiveToNobody(runtime);  // an XDG_RUNTIME_DIR of someone else's
    GiveToNobody(ownTemp);  // and the temporary name taken first

    const std::optional<InstanceAddress> address = FindInstanceAddress("/s/QuillorDic.ini", {runtime, temp, state});
    ASSERT_TRUE(address.has_value());
    EXPECT_EQ(QFileInfo(address->socket).path(), state);

    // The state folder someone else's too: nowhere is private, and the program runs alone.
    GiveToNobody(state);
    EXPECT_FALSE(FindInstanceAddress("/s/QuillorDic.ini", {runtime, temp, state}).has_value());
}

TEST(InstanceAddress, EachSettingsFileHasAWindowOfItsOwn) {
    TempDir dir;
    const QString runtime = Q(dir.path());
    ::chmod(QFile::encodeName(runtime), 0700);
    const InstanceEnvironment environment{runtime, runtime, runtime};
    const auto socket = [&](const QString& settings) { return FindInstanceAddress(settings, environment)->socket; };
    EXPECT_EQ(socket("/opt/a/QuillorDic.ini"), socket("/opt/a/QuillorDic.ini"));
    EXPECT_EQ(socket("/opt/a/QuillorDic.ini"), socket("/opt/a/./QuillorDic.ini"));
    EXPECT_NE(socket("/opt/a/QuillorDic.ini"), socket("/opt/b/QuillorDic.ini"));
    EXPECT_NE(socket("/opt/辞書〜/QuillorDic.ini"), socket("/opt/辞書¥/QuillorDic.ini"));
    EXPECT_TRUE(QFileInfo(socket("/x.ini")).fileName().startsWith("org.quillordic.QuillorDic."));

    // A folder whose socket name the system could not hold is passed over.
    const QString deep = Q(dir.path() / std::string(100, 'd'));
    ASSERT_TRUE(QDir().mkpath(deep));
    ::chmod(QFile::encodeName(deep), 0700);
    EXPECT_EQ(QFileInfo(FindInstanceAddress("/x.ini", {deep, QString(), runtime})->socket).path(), runtime);
}

}  // namespace
