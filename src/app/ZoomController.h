#pragma once
// Zoom: the record page, and, when a text view has the focus, the fonts of the index
// and text views, by the zoom commands, Ctrl+wheel over the page or a text view, and
// the settings. Both levels are kept in the desktop settings, which the settings file
// remembers.

#include "common/SettingsFile.h"

#include <QFont>
#include <QObject>

#include <array>

class BrowserView;
class TEditorEx;

class ZoomController : public QObject {
public:
    // The text views' fonts as they are now are their 100 %.
    ZoomController(DesktopSettings& desktop, BrowserView* page, std::array<TEditorEx*, 3> textViews, QObject* parent);

    // 表示 → ズーム → 拡大 (+1), 縮小 (-1), 標準のサイズ (0): a step of the text views'
    // fonts when one of them has the focus, else of the record page.
    void Step(int direction);
    void SetPageZoom(int percent);
    void SetTextZoom(int percent);

private:
    DesktopSettings& desktop_;
    BrowserView* page_;
    std::array<TEditorEx*, 3> textViews_;
    QFont designedTextFont_;
};
