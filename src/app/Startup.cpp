#include "app/Startup.h"

#include "app/Fonts.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

void PrepareApplication() {
    QApplication::setApplicationName(QStringLiteral("QuillorDic"));
    InstallFontSubstitutions();
    // The interface is Japanese whatever the desktop's language, the file dialog included.
    auto* translator = new QTranslator(qApp);
    if (translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
}
