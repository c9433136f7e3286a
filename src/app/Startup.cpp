#include "app/Startup.h"

#include "app/DesktopServices.h"
#include "common/StoredPath.h"
#include "common/FileLocations.h"
#include "common/ErrorBoundary.h"
#include "common/SystemHelpers.h"
#include "ui/Fonts.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>

#include <sys/socket.h>
#include <unistd.h>

void PrepareApplication() {
    QApplication::setApplicationName(QStringLiteral("QuillorDic"));
    // The desktop entry the window belongs to, for its icon and name on Wayland.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quillordic.QuillorDic"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/QuillorDic.png")));
    InstallFontSubstitutions();
    InstallDesktopServices();
    // The interface is Japanese whatever the desktop's language, the file dialog included.
    auto* translator = new QTranslator(qApp);
    if (translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
}

QString DataFileToLoadAtStart(const QString& namedOnCommandLine) {
    if (!namedOnCommandLine.isEmpty()) return QFileInfo(namedOnCommandLine).absoluteFilePath();
    const FileLocations places = LocateFiles(QCoreApplication::applicationFilePath(), CurrentLocationEnvironment());
    const QString remembered = RememberedDataFile(places.settings);
    return remembered.isEmpty() ? places.firstStartSample : remembered;
}

namespace {

int terminationPipe[2] = {-1, -1};
constexpr int kLastResortMs = 4'000;  // a session manager gives a program about five seconds
bool terminationRequested = false;

void OnTerminationSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(terminationPipe[1], &byte, 1);
}

}  // namespace

void CloseOnTermination() {
    // A signal handler may do next to nothing: it wakes the event loop through a pipe.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, terminationPipe) != 0) return;
    auto* notifier = new QSocketNotifier(terminationPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, Guarded([] {
        char byte = 0;
        [[maybe_unused]] const auto read = ::read(terminationPipe[0], &byte, 1);
        if (!terminationRequested) {
            terminationRequested = true;
            // No one is there to answer: a question shown now would hold the logout up
            // for good. Each is answered Cancel, and said on stderr.
            SetAskUserHandler([](std::string_view text, std::string_view, int) {
                qWarning("QuillorDic: %.*s: キャンセル (終了中)", static_cast<int>(text.size()), text.data());
                return AskAnswer::Cancel;
            });
            // The last resort: whatever still waits (a page that never loads) gives way.
            QTimer::singleShot(kLastResortMs, qApp, Guarded([] { QCoreApplication::exit(0); }));
        }
        // Dialogs open at the time close too (a modal one returns as cancelled); a
        // window that was closing already is closed again at the next signal.
        QApplication::closeAllWindows();
    }));
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) ::sigaction(signal, &action, nullptr);
}

bool TerminationRequested() { return terminationRequested; }
