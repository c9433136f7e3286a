#include "dialogs/TGauge.h"

#include "common/ErrorBoundary.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>

#include <algorithm>

int GaugePercentDone(int minValue, int maxValue, int progress) {
    if (maxValue == minValue) return 0;
    // 64 bits: a wide range times 100 must not overflow.
    return static_cast<int>((static_cast<long long>(progress) - minValue) * 100 /
                            (static_cast<long long>(maxValue) - minValue));
}

int GaugeFilledWidth(int innerWidth, int percentDone) {
    const int whole = innerWidth + 1;
    return std::min(whole, static_cast<int>(whole * (percentDone * 0.01)));
}

namespace {

// Screen readers hear the gauge as a progress bar with its percentage.
class GaugeAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit GaugeAccessible(TGauge* gauge) : QAccessibleWidget(gauge, QAccessible::ProgressBar) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return QString::asprintf("%d%%", gauge()->PercentDone());
        return QAccessibleWidget::text(t);
    }
    QVariant currentValue() const override { return gauge()->Progress(); }
    void setCurrentValue(const QVariant&) override {}  // read-only for the user
    QVariant maximumValue() const override { return gauge()->MaxValue(); }
    QVariant minimumValue() const override { return gauge()->MinValue(); }
    QVariant minimumStepSize() const override { return 0; }

private:
    TGauge* gauge() const { return static_cast<TGauge*>(widget()); }
};

QAccessibleInterface* GaugeAccessibleFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("TGauge") && object && object->isWidgetType())
        return new GaugeAccessible(static_cast<TGauge*>(object));
    return nullptr;
}

}  // namespace

TGauge::TGauge(QWidget* parent) : QWidget(parent) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(GaugeAccessibleFactory);
        return true;
    }();
    (void)factoryInstalled;
}

void TGauge::SetMinValue(int value) {
    value = std::min(value, maxValue_);
    if (value == minValue_) return;
    minValue_ = value;
    progress_ = std::max(progress_, minValue_);
    update();
}

void TGauge::SetMaxValue(int value) {
    value = std::max(value, minValue_);
    if (value == maxValue_) return;
    maxValue_ = value;
    progress_ = std::min(progress_, maxValue_);
    update();
}

void TGauge::SetProgress(int value) {
    value = std::clamp(value, minValue_, maxValue_);
    if (value == progress_) return;
    const int before = PercentDone();
    progress_ = value;
    if (PercentDone() == before) return;
    update();
    QAccessibleValueChangeEvent event(this, progress_);
    QAccessible::updateAccessibility(&event);
}

void TGauge::SetForeColor(const QColor& color) {
    if (color == foreColor_) return;
    foreColor_ = color;
    update();
}

void TGauge::SetBackColor(const QColor& color) {
    if (color == backColor_) return;
    backColor_ = color;
    update();
}

void TGauge::SetBorderStyle(TGaugeBorderStyle style) {
    if (style == borderStyle_) return;
    borderStyle_ = style;
    update();
}

void TGauge::SetShowText(bool show) {
    if (show == showText_) return;
    showText_ = show;
    update();
}

void TGauge::paintEvent(QPaintEvent*) {
    RunGuarded([this] { Paint(); });
}

void TGauge::Paint() {
    QPainter painter(this);
    QRect inner = rect();
    if (borderStyle_ == TGaugeBorderStyle::bsSingle) {
        painter.setPen(Qt::black);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        inner.adjust(1, 1, -1, -1);
    }
    painter.fillRect(inner, backColor_);

    const int percent = PercentDone();
    QRect filled;
    const int width = GaugeFilledWidth(inner.width(), percent);
    if (width >= 1) {
        filled = QRect(inner.left(), inner.top(), width, inner.height());
        painter.fillRect(filled, foreColor_);
    }
    if (!showText_) return;

    // The digits take the other colour where the bar lies under them, so they stay
    // readable however far the bar has come.
    const QString text = QString::asprintf("%d%%", percent);
    painter.setFont(font());
    painter.setClipRect(inner);
    painter.setPen(foreColor_);
    painter.drawText(inner, Qt::AlignCenter, text);
    if (!filled.isEmpty()) {
        painter.setClipRect(filled.intersected(inner));
        painter.setPen(backColor_);
        painter.drawText(inner, Qt::AlignCenter, text);
    }
}
