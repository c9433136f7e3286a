// Painting: only the rows in the dirty rectangle, every character on its own cells.
#include "textview/TEditorEx.h"

#include "common/ErrorBoundary.h"
#include "common/Sjis.h"

#include <QGlyphRun>
#include <QImage>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QRawFont>
#include <QScrollBar>
#include <QStyle>
#include <QTextLayout>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <unordered_map>
#include <vector>

// What a row's pixels are drawn from, the row's number aside.
struct TEditorEx::RowLook {
    QColor fill;
    bool hasText = false;           // a line, or the caret's place after the last one
    std::string_view line;
    std::size_t begin = 0, end = 0; // the bytes in view, on character boundaries
    std::size_t selectedFrom = 0, selectedTo = 0;  // byte columns; equal: none
    int scrollX = 0;
};

struct TEditorEx::CellCache {
    struct Glyph {
        enum class Kind : std::uint8_t { Unknown, Blank, Placed, Alone };
        Kind kind = Kind::Unknown;  // Alone: not one glyph of one face, so drawn as text
        std::uint8_t face = 0;      // into faces
        quint32 index = 0;
        int advance = 0;            // pixels, rounded as the font metrics round them
    };
    // A face, and the glyphs of the row being drawn in it: kept between rows, so a
    // row allocates nothing.
    struct Face {
        QRawFont font;
        std::vector<quint32> glyphs;
        std::vector<QPointF> positions;
    };
    // A row as last drawn, and what it was drawn from: an unchanged row is repainted
    // by copying its pixels, since blending the glyphs of a row of Japanese costs
    // many times what copying them does.
    struct RowImage {
        QImage image;
        std::string bytes;  // the bytes in view
        bool lineEnds = false;
        RowLook look;       // its line not kept: bytes stands for it

        bool Shows(const RowLook& other) const {
            return other.fill == look.fill && other.hasText == look.hasText && other.begin == look.begin &&
                   other.selectedFrom == look.selectedFrom && other.selectedTo == look.selectedTo &&
                   other.scrollX == look.scrollX && (other.end == other.line.size()) == lineEnds &&
                   other.line.substr(other.begin, other.end - other.begin) == bytes;
        }
    };

    explicit CellCache(const QFont& viewFont);
    const Glyph& GlyphOf(char16_t unit);
    // Forgets the rows drawn for other colours or for another kind of target.
    void DrawFor(const ViewColors& colors, qreal pixelRatio, QImage::Format format);

    QFont font;
    int cellWidth = 1;
    int rowHeight = 1;
    int ascent = 0;
    std::vector<Face> faces;  // the font's own face first
    std::unordered_map<std::int64_t, RowImage> rows;

private:
    Glyph LookUp(char16_t unit);

    // By the character's high byte, then its low byte: only the pages in use exist.
    std::array<std::unique_ptr<std::array<Glyph, 256>>, 256> pages_;
    ViewColors colors_;
    qreal pixelRatio_ = 0;
    QImage::Format format_ = QImage::Format_Invalid;
};

TEditorEx::CellCache::CellCache(const QFont& viewFont) : font(viewFont) {
    const QFontMetrics metrics(font);
    cellWidth = std::max(1, metrics.horizontalAdvance(QLatin1Char('x')));
    rowHeight = std::max(1, metrics.height());
    ascent = metrics.ascent();
    const QRawFont own = QRawFont::fromFont(font);
    if (own.isValid()) faces.push_back({own, {}, {}});
}

const TEditorEx::CellCache::Glyph& TEditorEx::CellCache::GlyphOf(char16_t unit) {
    auto& page = pages_[unit >> 8];
    if (!page) page = std::make_unique<std::array<Glyph, 256>>();
    Glyph& glyph = (*page)[unit & 0xFF];
    if (glyph.kind == Glyph::Kind::Unknown) glyph = LookUp(unit);
    return glyph;
}

TEditorEx::CellCache::Glyph TEditorEx::CellCache::LookUp(char16_t unit) {
    Glyph glyph;
    // Control characters take a blank cell; a space has nothing to draw.
    if (unit <= 0x20 || unit == 0x7F) {
        glyph.kind = Glyph::Kind::Blank;
        return glyph;
    }
    const QChar character(unit);
    // The font's own glyph when it has one, as text drawing takes it.
    if (!faces.empty()) {
        quint32 index = 0;
        int count = 1;
        if (faces.front().font.glyphIndexesForChars(&character, 1, &index, &count) && count == 1 && index != 0) {
            QPointF advance;
            faces.front().font.advancesForGlyphIndexes(&index, &advance, 1);
            return {Glyph::Kind::Placed, 0, index, qRound(advance.x())};
        }
    }
    // Else the face text drawing falls back to for it, found by laying it out.
    QTextLayout layout(QString(character), font);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    glyph.kind = Glyph::Kind::Alone;
    glyph.advance = qRound(line.horizontalAdvance());
    const QList<QGlyphRun> runs = layout.glyphRuns();
    if (runs.size() != 1 || runs.front().glyphIndexes().size() != 1) return glyph;
    const QRawFont face = runs.front().rawFont();
    auto found = std::find_if(faces.begin(), faces.end(), [&](const Face& known) { return known.font == face; });
    if (found == faces.end()) {
        if (faces.size() > UINT8_MAX) return glyph;
        found = faces.insert(faces.end(), Face{face, {}, {}});
    }
    glyph.kind = Glyph::Kind::Placed;
    glyph.face = static_cast<std::uint8_t>(found - faces.begin());
    glyph.index = runs.front().glyphIndexes().front();
    return glyph;
}

void TEditorEx::CellCache::DrawFor(const ViewColors& colors, qreal pixelRatio, QImage::Format format) {
    const bool sameColors = colors.background == colors_.background && colors.alternateRow == colors_.alternateRow &&
                            colors.caretBand == colors_.caretBand && colors.selectionText == colors_.selectionText &&
                            colors.selectionBackground == colors_.selectionBackground && colors.text == colors_.text;
    if (sameColors && pixelRatio == pixelRatio_ && format == format_) return;
    rows.clear();
    colors_ = colors;
    pixelRatio_ = pixelRatio;
    format_ = format;
}

void TEditorEx::CellCacheDeleter::operator()(CellCache* cache) const { delete cache; }

TEditorEx::CellCache& TEditorEx::Cells() const {
    if (!cells_ || cells_->font != font()) cells_.reset(new CellCache(font()));
    return *cells_;
}

int TEditorEx::RowHeight() const { return Cells().rowHeight; }

int TEditorEx::CellWidth() const { return Cells().cellWidth; }

bool TEditorEx::ShowsCaretLine() const {
    // Views that mark the caret row with a band need no caret line besides.
    return HasKeyboardFocus() && !colors_.caretBand.isValid();
}

int TEditorEx::XOfColumn(std::size_t column) const {
    const std::int64_t x = static_cast<std::int64_t>(column) * CellWidth() - horizontalScrollBar()->value();
    return kLeftMargin + static_cast<int>(std::clamp<std::int64_t>(x, -INT32_MAX / 4, INT32_MAX / 4));
}

int TEditorEx::YOfRow(std::int64_t row) const {
    return static_cast<int>(std::clamp<std::int64_t>((row - TopRow()) * RowHeight(), -INT32_MAX / 4, INT32_MAX / 4));
}

int TEditorEx::PreeditShift(std::int64_t row, std::size_t column) const {
    // What an input method has not committed yet pushes the rest of the caret's row on.
    if (preedit_.isEmpty() || row != caret_.line || column < caret_.column) return 0;
    return fontMetrics().horizontalAdvance(preedit_);
}

QRect TEditorEx::CaretRect() const {
    const int preeditX = preedit_.isEmpty() ? 0 : fontMetrics().horizontalAdvance(preedit_.left(preeditCursor_));
    const int width = std::max(1, style()->pixelMetric(QStyle::PM_TextCursorWidth, nullptr, this));
    return {XOfColumn(caret_.column) + preeditX, YOfRow(caret_.line), width, RowHeight()};
}

namespace {

// The format of the raster image a painter draws on, when its rows may be kept as
// images and copied onto it pixel for pixel: no transform beyond a whole-pixel shift,
// a whole pixel ratio, a 32-bit format. Else Format_Invalid, and rows are drawn
// directly (a printer, a fractional scale).
QImage::Format KeepableFormat(QPainter& painter, qreal& pixelRatio) {
    QPaintEngine* engine = painter.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster) return QImage::Format_Invalid;
    QPaintDevice* device = engine->paintDevice();
    if (!device || device->devType() != QInternal::Image) return QImage::Format_Invalid;
    const QTransform transform = painter.worldTransform();
    if (transform.type() > QTransform::TxTranslate || transform.dx() != std::round(transform.dx()) ||
        transform.dy() != std::round(transform.dy()))
        return QImage::Format_Invalid;
    pixelRatio = device->devicePixelRatio();
    if (pixelRatio != std::round(pixelRatio)) return QImage::Format_Invalid;
    const QImage::Format format = static_cast<QImage*>(device)->format();
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32_Premultiplied ? format
                                                                                           : QImage::Format_Invalid;
}

}  // namespace

void TEditorEx::paintEvent(QPaintEvent* event) {
    RunGuarded([&] {
        QPainter painter(viewport());
        painter.setFont(font());
        const QRect dirty = event->rect();
        const int rowHeight = RowHeight();
        const std::int64_t top = TopRow();
        const int firstVisible = std::max(0, dirty.top() / rowHeight);
        const int lastVisible = dirty.bottom() / rowHeight;
        for (int visibleRow = firstVisible; visibleRow <= lastVisible; ++visibleRow)
            PaintRow(painter, top + visibleRow, visibleRow * rowHeight);
        // Rows scrolled out of view are not kept.
        auto& rows = Cells().rows;
        const std::int64_t bottom = top + VisibleRowCount();
        std::erase_if(rows, [&](const auto& kept) { return kept.first < top || kept.first > bottom; });
    });
}

TEditorEx::RowLook TEditorEx::LookOfRow(std::int64_t row) const {
    RowLook look;
    const int cell = CellWidth();
    const int width = viewport()->width();
    const bool isLine = row < LineCount();
    const bool isCaretRow = row == caret_.line && row <= LastCaretRow() && (isLine || lines_->EndsWithLineBreak());
    look.fill = colors_.background;
    if (isLine && row % 2 == 1 && colors_.alternateRow.isValid()) look.fill = colors_.alternateRow;
    if (isCaretRow && colors_.caretBand.isValid()) look.fill = colors_.caretBand;
    look.hasText = isLine || isCaretRow;
    if (!look.hasText) return look;

    look.line = LineAt(row);
    look.scrollX = horizontalScrollBar()->value();
    // The selected part of this row, as byte columns; a row inside a many-row
    // selection is selected up to one cell past its end, standing for its line break.
    const Position selectionStart = std::min(anchor_, caret_);
    const Position selectionEnd = std::max(anchor_, caret_);
    if (selectionStart != selectionEnd && row >= selectionStart.line && row <= selectionEnd.line) {
        if (wholeRowSelection_) {
            look.selectedTo = static_cast<std::size_t>((look.scrollX + width) / cell + 1);
        } else {
            look.selectedFrom = row == selectionStart.line ? selectionStart.column : 0;
            look.selectedTo = row == selectionEnd.line ? selectionEnd.column : look.line.size() + 1;
        }
    }
    // Only the visible bytes are decoded and drawn, so a line of a megabyte costs
    // no more than a short one.
    const auto firstByte = static_cast<std::size_t>(std::max(0, look.scrollX - kLeftMargin) / cell);
    if (firstByte < look.line.size()) {
        look.begin = Sjis::ShownCharStart(look.line, firstByte);
        look.end = std::min(look.line.size(), look.begin + static_cast<std::size_t>(width / cell) + 4);
        if (look.end < look.line.size())
            look.end = Sjis::NextShownChar(look.line, Sjis::ShownCharStart(look.line, look.end));
    }
    return look;
}

void TEditorEx::PaintRow(QPainter& painter, std::int64_t row, int y) const {
    const RowLook look = LookOfRow(row);
    const bool isCaretRow = row == caret_.line && look.hasText;
    const bool composing = isCaretRow && !preedit_.isEmpty();
    qreal pixelRatio = 1;
    const QSize size(viewport()->width(), RowHeight());
    const QImage::Format format =
        composing || size.isEmpty() ? QImage::Format_Invalid : KeepableFormat(painter, pixelRatio);
    if (format == QImage::Format_Invalid) {
        DrawRow(painter, row, look, y);
    } else {
        CellCache& cells = Cells();
        cells.DrawFor(colors_, pixelRatio, format);
        CellCache::RowImage& kept = cells.rows[row];
        if (kept.image.deviceIndependentSize() != QSizeF(size) || !kept.Shows(look)) {
            if (kept.image.deviceIndependentSize() != QSizeF(size) || kept.image.format() != format) {
                kept.image = QImage(size * pixelRatio, format);
                kept.image.setDevicePixelRatio(pixelRatio);
            }
            QPainter rowPainter(&kept.image);
            rowPainter.setFont(font());
            DrawRow(rowPainter, row, look, 0);
            kept.look = look;
            kept.look.line = {};
            kept.bytes.assign(look.line.substr(look.begin, look.end - look.begin));
            kept.lineEnds = look.end == look.line.size();
        }
        painter.drawImage(QPoint(0, y), kept.image);
    }

    const int rowHeight = RowHeight();
    if (composing) {
        // The input method's text at the caret, underlined as input methods expect.
        const int x = XOfColumn(caret_.column);
        const int preeditWidth = fontMetrics().horizontalAdvance(preedit_);
        painter.fillRect(QRect(x, y, preeditWidth, rowHeight), colors_.background);
        painter.setPen(colors_.text);
        painter.drawText(x, y + fontMetrics().ascent(), preedit_);
        painter.drawLine(x, y + rowHeight - 1, x + preeditWidth - 1, y + rowHeight - 1);
    }
    if (isCaretRow && ShowsCaretLine() && caretVisible_) painter.fillRect(CaretRect(), colors_.text);
}

void TEditorEx::DrawRow(QPainter& painter, std::int64_t row, const RowLook& look, int y) const {
    const QRect rowRect(0, y, viewport()->width(), RowHeight());
    painter.fillRect(rowRect, look.fill);
    if (!look.hasText) return;
    const bool selected = look.selectedTo > look.selectedFrom;
    const QRect selectedRect(QPoint(XOfColumn(look.selectedFrom), y),
                             QPoint(XOfColumn(look.selectedTo) - 1, y + rowRect.height() - 1));
    if (selected) painter.fillRect(selectedRect, colors_.selectionBackground);
    if (look.begin >= look.end) return;
    painter.setPen(colors_.text);
    if (selected) painter.setClipRegion(QRegion(rowRect).subtracted(selectedRect));
    DrawCells(painter, row, look.line, look.begin, look.end, y);
    if (selected) {
        painter.setClipRect(selectedRect);
        painter.setPen(colors_.selectionText);
        DrawCells(painter, row, look.line, look.begin, look.end, y);
    }
    painter.setClipping(false);
}

void TEditorEx::DrawCells(QPainter& painter, std::int64_t row, std::string_view line, std::size_t begin,
                          std::size_t end, int y) const {
    // Each glyph is put on its own cells, whatever the font's advances say, and the
    // glyphs of one face go out in one glyph run. A glyph wider than its cells is
    // squeezed into them, so a wide replacement character cannot push the rest out of
    // step with the caret and the selection.
    CellCache& cells = Cells();
    const int baseline = y + cells.ascent;
    const int cell = cells.cellWidth;
    // The left edge of a column's cell, as XOfColumn gives it, without its calls.
    const double left = kLeftMargin - horizontalScrollBar()->value();
    const int preeditShift = PreeditShift(row, caret_.column);
    const auto xOf = [&](std::size_t column) {
        return left + static_cast<double>(column) * cell + (column >= caret_.column ? preeditShift : 0);
    };
    for (CellCache::Face& face : cells.faces) {
        face.glyphs.clear();
        face.positions.clear();
    }

    for (std::size_t pos = begin; pos < end;) {
        const auto byte = static_cast<unsigned char>(line[pos]);
        const Sjis::DecodedChar decoded = byte < 0x80 ? Sjis::DecodedChar{byte, 1} : Sjis::DecodeAt(line, pos);
        const CellCache::Glyph& glyph = cells.GlyphOf(decoded.unit);
        const QPointF origin(xOf(pos), baseline);
        const int room = static_cast<int>(decoded.length) * cell;
        if (glyph.kind == CellCache::Glyph::Kind::Placed && glyph.advance <= room) {
            CellCache::Face& face = cells.faces[glyph.face];
            face.glyphs.push_back(glyph.index);
            face.positions.push_back(origin);
        } else if (glyph.kind != CellCache::Glyph::Kind::Blank) {
            // Rare: a glyph too wide for its cells, or a character the fonts make more
            // than one glyph of; drawn alone, squeezed to fit.
            painter.save();
            painter.translate(origin);
            if (glyph.advance > room) painter.scale(static_cast<double>(room) / glyph.advance, 1.0);
            painter.drawText(QPointF(0, 0), QString(QChar(decoded.unit)));
            painter.restore();
        }
        pos += decoded.length;
    }

    for (const CellCache::Face& face : cells.faces) {
        if (face.glyphs.empty()) continue;
        QGlyphRun run;
        run.setRawFont(face.font);
        run.setRawData(face.glyphs.data(), face.positions.data(), static_cast<int>(face.glyphs.size()));
        painter.drawGlyphRun(QPointF(0, 0), run);
    }
}
