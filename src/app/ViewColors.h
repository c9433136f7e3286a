#pragma once
// The colours of the three text views, after the desktop colours they were designed
// with: the 3-D light face, the tool-tip background, the inactive caption text.

#include "textview/TEditorEx.h"

inline const QColor kColor3DLight(0xE3, 0xE3, 0xE3);
inline const QColor kColorInfoBk(0xFF, 0xFF, 0xE1);
inline const QColor kColorInactiveCaptionText(0xD4, 0xD0, 0xC8);
inline const QColor kColorNavy(0x00, 0x00, 0x80);

inline TEditorEx::ViewColors FullTextColors() {
    return {kColor3DLight, kColorInfoBk, QColor(), Qt::white, kColorNavy};
}

inline TEditorEx::ViewColors HeadwordIndexColors() {
    return {kColorInfoBk, Qt::white, kColorInactiveCaptionText, Qt::black, kColorInactiveCaptionText};
}

inline TEditorEx::ViewColors SearchIndexColors() {
    return {kColor3DLight, Qt::white, kColorInactiveCaptionText, Qt::black, kColorInactiveCaptionText};
}
