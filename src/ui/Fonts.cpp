#include "ui/Fonts.h"

#include <QFont>
#include <QFontMetrics>
#include <QStringList>

void InstallFontSubstitutions() {
    const QString gothic = QStringLiteral("Noto Sans CJK JP");
    const QString monospace = QStringLiteral("Noto Sans Mono CJK JP");
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"), {gothic});
    QFont::insertSubstitutions(QStringLiteral("ＭＳ ゴシック"), {monospace});
    QFont::insertSubstitutions(QStringLiteral("FixedSys"), {monospace});
    QFont::insertSubstitutions(QStringLiteral("Tahoma"), {QStringLiteral("DejaVu Sans"), gothic});
    QFont::insertSubstitutions(QStringLiteral("Microsoft Sans Serif"), {QStringLiteral("DejaVu Sans"), gothic});
}

QFont DesignFont(int pixelSize) {
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(pixelSize);
    return font;
}

TextWidth WidthIn(const QFont& font) {
    return [metrics = QFontMetrics(font)](std::string_view utf8) {
        return metrics.horizontalAdvance(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    };
}
