#include "dialogs/TfrmVersion.h"

#include "common/ErrorBoundary.h"
#include "common/SystemHelpers.h"
#include "common/VersionInfo.h"
#include "dialogs/CentreOverParent.h"
#include "dialogs/TGauge.h"
#include "ui/Fonts.h"

#include <QLabel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QShowEvent>
#include <QTimer>

#include <algorithm>

namespace {

// The panel was drawn with the classic desktop colours; these are their usual values
// (grey caption, light grey caption text), which also read well on any Qt theme.
const QColor kInactiveCaption(0x80, 0x80, 0x80);
const QColor kInactiveCaptionText(0xD4, 0xD0, 0xC8);
const QColor kNavy(0x00, 0x00, 0x80);

constexpr int kCloseAfterMs = 12000;
constexpr int kTickMs = 500;
// The close timer's interval over this is the number of ticks to a full strip.
constexpr int kTicksDivisor = 470;

const QString kReturnHint = QStringLiteral("ここをクリックすると編集に戻ります");

QLabel* AddBand(QWidget* parent, const char* name, const QString& text, int top, int height, const QFont& font,
                const QColor& textColor, const QColor& background, const QString& hint) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(0, top, parent->width(), height);
    label->setFont(font);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, textColor);
    palette.setColor(QPalette::Window, background);
    label->setPalette(palette);
    label->setToolTip(hint);
    return label;
}

}  // namespace

TfrmVersion::TfrmVersion(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmVersion"));
    setFont(DesignFont(12));
    setFixedSize(387, 139);

    QFont nameFont(QStringLiteral("Tahoma"));
    nameFont.setPixelSize(48);
    Label1 = AddBand(this, "Label1", QStringLiteral("    QuillorDic"), 0, 69, nameFont, kInactiveCaption,
                     palette().color(QPalette::Light), kReturnHint);
    Label2 = AddBand(this, "Label2", QString(), 69, 19, DesignFont(12), Qt::gray, Qt::white, kReturnHint);
    Label4 = AddBand(this, "Label4", QString(6, QChar(0x3000)) + QStringLiteral("医学英和辞書ビューア"), 88, 16,
                     DesignFont(16), kNavy, kInactiveCaptionText, kReturnHint);
    // The band is lower than the font's line; centred, the ideographs just fit it.
    Label4->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label3 = AddBand(this, "Label3",
                     QStringLiteral("\n") + QString(30, QLatin1Char(' ')) +
                         QStringLiteral("Copyright (C) Quillor. All rights reserved."),
                     104, height() - 104, DesignFont(12), Qt::gray, palette().color(QPalette::Window),
                     QStringLiteral("QuillorのWebサイトへ"));
    Label3->setCursor(Qt::PointingHandCursor);  // it opens a web page
    Label3->setFocusPolicy(Qt::StrongFocus);
    for (QLabel* label : {Label1, Label2, Label4, Label3}) label->installEventFilter(this);

    Label5 = new QLabel(QStringLiteral("6/6"), this);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setGeometry(275, 118, 18, 12);
    Label5->setVisible(false);

    // Over the top edge of the name band.
    Gauge1 = new TGauge(this);
    Gauge1->setObjectName(QStringLiteral("Gauge1"));
    Gauge1->setGeometry(1, 0, 385, 4);
    Gauge1->SetBorderStyle(TGaugeBorderStyle::bsNone);
    Gauge1->SetForeColor(kInactiveCaption);
    Gauge1->SetBackColor(Qt::white);
    Gauge1->SetShowText(false);
    Gauge1->raise();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kCloseAfterMs);
    connect(Timer1, &QTimer::timeout, this, Guarded(this, &TfrmVersion::Timer1Timer));
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(kTickMs);
    connect(Timer2, &QTimer::timeout, this, Guarded(this, &TfrmVersion::Timer2Timer));
}

void TfrmVersion::FormShow() {
    Label2->setText(QString(41, QLatin1Char(' ')) + QStringLiteral("Ver.") +
                    QString::fromStdString(GetFileVersionText()));
    Timer1->setInterval(kCloseAfterMs);
    Timer2->setInterval(kTickMs);
    Timer1->start();
    Timer2->start();
    progressCount_ = 0;
    Gauge1->SetProgress(0);
}

void TfrmVersion::Timer1Timer() {
    Timer1->stop();
    reject();
}

void TfrmVersion::Timer2Timer() {
    ++progressCount_;
    // A zero interval would give no ticks to a full strip; count it as one.
    const int ticks = std::max(1, Timer1->interval() / kTicksDivisor);
    const int percent = progressCount_ * 100 / ticks;
    Label5->setText(QString::asprintf("%.03d", percent));
    Gauge1->SetProgress(percent);
}

void TfrmVersion::Label1Click() { reject(); }

void TfrmVersion::Label3Click() { OpenLink(GetVersionValue(0)); }

void TfrmVersion::showEvent(QShowEvent* event) {
    // The window system's own show event, after mapping, is not a new showing.
    if (!event->spontaneous()) {
        RunGuarded([this] {
            CentreOverParent(this);
            FormShow();
        });
    }
    QDialog::showEvent(event);
}

void TfrmVersion::hideEvent(QHideEvent* event) {
    // Nothing of a hidden dialog changes what anyone sees; its timers need not run on.
    Timer1->stop();
    Timer2->stop();
    QDialog::hideEvent(event);
}

// A click is a left press and release on the same line; Return or Space on the link
// line, which takes the keyboard focus, opens the link too.
bool TfrmVersion::eventFilter(QObject* watched, QEvent* event) {
    return RunGuarded(false, [&] { return LabelClicked(watched, event); }) || QDialog::eventFilter(watched, event);
}

bool TfrmVersion::LabelClicked(QObject* watched, QEvent* event) {
    if (watched == Label3 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            Label3Click();
            return true;
        }
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* label = static_cast<QLabel*>(watched);
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && label->rect().contains(mouse->position().toPoint())) {
            if (label == Label3)
                Label3Click();
            else
                Label1Click();
            return true;
        }
    }
    return false;
}
