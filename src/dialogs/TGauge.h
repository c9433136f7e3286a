#pragma once
// A thin progress gauge that paints itself: a horizontal bar with its percentage.

#include <QColor>
#include <QWidget>

enum class TGaugeBorderStyle { bsNone, bsSingle };

// Whole percent of the way from minValue to progress out of the range; 0 for an
// empty range.
int GaugePercentDone(int minValue, int maxValue, int progress);
// Pixels of the bar to fill: the inner width plus one, scaled by the percentage and
// cut to whole pixels, never more than that width.
int GaugeFilledWidth(int innerWidth, int percentDone);

class TGauge : public QWidget {
    Q_OBJECT
public:
    explicit TGauge(QWidget* parent = nullptr);

    int MinValue() const { return minValue_; }
    int MaxValue() const { return maxValue_; }
    int Progress() const { return progress_; }
    QColor ForeColor() const { return foreColor_; }
    QColor BackColor() const { return backColor_; }
    TGaugeBorderStyle BorderStyle() const { return borderStyle_; }
    bool ShowText() const { return showText_; }
    int PercentDone() const { return GaugePercentDone(minValue_, maxValue_, progress_); }

    // The range never turns over: a minimum above the maximum is taken as the
    // maximum and the other way round; the progress moves into the new range.
    void SetMinValue(int value);
    void SetMaxValue(int value);
    // Clamped into the range; repaints only when the percentage shown changes.
    void SetProgress(int value);
    void SetForeColor(const QColor& color);
    void SetBackColor(const QColor& color);
    void SetBorderStyle(TGaugeBorderStyle style);
    void SetShowText(bool show);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Paint();
    int minValue_ = 0;
    int maxValue_ = 100;
    int progress_ = 0;
    QColor foreColor_ = Qt::black;
    QColor backColor_ = Qt::white;
    TGaugeBorderStyle borderStyle_ = TGaugeBorderStyle::bsSingle;
    bool showText_ = true;
};
