#include "app/Forms.h"
#include "app/MainWindow.h"
#include "app/QuillorApplication.h"
#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "common/CommandLine.h"
#include "common/FileLocations.h"
#include "common/StartupTrace.h"
#include "dictionary/DataFilePreload.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

int main(int argc, char* argv[]) {
    MarkStartup("main");
    // Read before the application object, which needs a display: --help and
    // --version answer on any terminal.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));
    const CommandLine line = ParseCommandLine(arguments);
    const QString programName = QFileInfo(arguments.value(0, QStringLiteral("quillordic"))).fileName();
    if (const int status = AnswerCommandLine(line, programName); status >= 0) return status;
    // One window per settings file: the running one takes FILE and --search, and this
    // start ends.
    SingleInstance instance(LocateFiles(RunningExecutable(), CurrentLocationEnvironment()).settings);
    const std::vector<InstanceRequest> requests =
        RequestsOf(line, QDir::currentPath(), qEnvironmentVariable("XDG_ACTIVATION_TOKEN"));
    if (const std::optional<int> status = instance.HandOver(requests, programName)) return *status;

    QuillorApplication app(argc, argv);
    // Another start became the window while this one waited for its turn: it takes the
    // requests after all.
    if (!instance.Listen()) {
        if (const std::optional<int> status = instance.HandOver(requests, programName)) return *status;
        instance.Listen();
    }
    MarkStartup("application");
    // The dictionary is read while the window and the browser engine are built.
    std::unique_ptr<DataFilePreload> preload;
    try {
        preload = std::make_unique<DataFilePreload>(DataFileToLoadAtStart(line.file).toStdString());
    } catch (const std::exception&) {
        // No thread to read on: the load reads the file itself, as it would anyway.
    }
    PrepareApplication();
    CloseOnTermination();
    const auto form1 = CreateForms();
    MarkStartup("window built");
    form1->AdoptPreload(std::move(preload));
    instance.DeliverTo(*form1);
    // "quillordic FILE", as the desktop's Open With passes it.
    if (!line.file.isEmpty()) form1->OpenAtStart(line.file);
    form1->show();  // loads the last dictionary and shows its first record
    for (const InstanceRequest& request : RequestsOf(line, QString(), QString()))
        if (request.kind == InstanceRequest::Kind::Search || request.kind == InstanceRequest::Kind::Lookup)
            form1->HandleRequest(request);
    if (TerminationRequested()) return 0;
    return QApplication::exec();
}
