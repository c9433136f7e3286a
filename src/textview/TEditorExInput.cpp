// What the user does to the text: keys, the input method, the clipboard, undo.
#include "textview/TEditorEx.h"

#include "common/ErrorBoundary.h"
#include "common/Sjis.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>
#include <cctype>

namespace {

// Around the caret, what an input method may read of the line: enough for its
// conversions, and never a whole megabyte line.
constexpr std::size_t kSurroundingBytes = 256;

// Sets a flag for the length of a scope.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};

}  // namespace

bool TEditorEx::MoveByKey(QKeyEvent* event) {
    const bool control = event->modifiers() & Qt::ControlModifier;
    const std::string_view line = LineAt(caret_.line);
    Position target = caret_;
    bool vertical = false;
    switch (event->key()) {
    case Qt::Key_Up: target = {caret_.line - 1, wantedColumn_}; vertical = true; break;
    case Qt::Key_Down: target = {caret_.line + 1, wantedColumn_}; vertical = true; break;
    case Qt::Key_PageUp:
        target = {caret_.line - VisibleRowCount(), wantedColumn_};
        vertical = true;
        verticalScrollBar()->setValue(verticalScrollBar()->value() - VisibleRowCount());
        break;
    case Qt::Key_PageDown:
        target = {caret_.line + VisibleRowCount(), wantedColumn_};
        vertical = true;
        verticalScrollBar()->setValue(verticalScrollBar()->value() + VisibleRowCount());
        break;
    case Qt::Key_Home: target = control ? Position{} : Position{caret_.line, 0}; break;
    case Qt::Key_End: target = control ? lines_->EndPosition() : Position{caret_.line, line.size()}; break;
    case Qt::Key_Left: target = CharBefore(caret_); break;
    case Qt::Key_Right: target = CharAfter(caret_); break;
    default: return false;
    }
    if (target.line < 0) target = Position{};
    MoveCaret(target, event->modifiers() & Qt::ShiftModifier);
    if (!vertical) wantedColumn_ = caret_.column;
    ScrollToShowCaret();
    return true;
}

bool TEditorEx::EditByKey(QKeyEvent* event) {
    if (event->matches(QKeySequence::Undo)) Undo();
    // Ctrl+Y as well, whatever the desktop binds: the redo key most users reach for.
    else if (event->matches(QKeySequence::Redo) || event->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Y))
        Redo();
    else if (event->matches(QKeySequence::Cut)) Cut();
    else if (event->matches(QKeySequence::Paste)) Paste();
    else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) ReplaceSelection("\r\n");
    else if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) {
        if (anchor_ == caret_) {
            // Without a selection, the character before or after the caret (a line
            // break counting as one); a run of these keys undoes as one step, as
            // typing does.
            const Position other = event->key() == Qt::Key_Backspace ? CharBefore(caret_) : CharAfter(caret_);
            if (other == caret_) return true;
            anchor_ = other;
            ReplaceSelection({}, EditRun::GoesOn);
        } else {
            ReplaceSelection({});
        }
    } else {
        const QString text = event->text();
        const bool command = event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
        if (text.isEmpty() || command || !text.at(0).isPrint()) return false;
        InsertInput(text);
    }
    return true;
}

void TEditorEx::keyPressEvent(QKeyEvent* event) {
    RunGuarded([&] {
        if (event->matches(QKeySequence::Copy)) {
            Copy();
        } else if (event->matches(QKeySequence::SelectAll)) {
            SelectAll();
        } else if (MoveByKey(event)) {
        } else if (readOnly_ && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
            emit OnReturnKey();
        } else if (readOnly_ || !EditByKey(event)) {
            return QAbstractScrollArea::keyPressEvent(event);
        }
        event->accept();
    });
}

bool TEditorEx::EncodeInput(const QString& text, std::string& bytes, bool pasted) {
    // A character code page 932 cannot hold would be saved as "?", and a NUL byte
    // would end the text at the next load: both are refused, and the user told which.
    Sjis::Encoded encoded = Sjis::FromQString(text, '\0');
    if (encoded.bytes.find('\0') == std::string::npos) {
        bytes = std::move(encoded.bytes);
        return true;
    }
    QStringList refused;
    for (const char32_t c : text.toUcs4()) {
        const QString one = QString::fromUcs4(&c, 1);
        if (Sjis::FromQString(one, '\0').bytes.find('\0') == std::string::npos) continue;
        const QString code = QStringLiteral("U+%1").arg(static_cast<uint>(c), 4, 16, QLatin1Char('0')).toUpper();
        const QString entry = c >= 0x20 ? one + QStringLiteral(" (") + code + QLatin1Char(')') : code;
        if (!refused.contains(entry)) refused << entry;
    }
    RefuseInput(refused, pasted);
    return false;
}

void TEditorEx::RefuseInput(const QStringList& characters, bool pasted) {
    const QString text = (pasted ? QStringLiteral("Shift-JIS で表せない文字を含むため、貼り付けませんでした。\n")
                                 : QStringLiteral("Shift-JIS で表せない文字は入力できません。\n")) +
                         characters.join(QStringLiteral("、"));
    // Told once the event that brought the text is over: an input method in the
    // middle of its commit should not meet a modal box.
    QMetaObject::invokeMethod(
        this,
        Guarded([this, text] {
            QMessageBox box(QMessageBox::Information, QStringLiteral("情報"), text, QMessageBox::Ok, this);
            box.setObjectName(QStringLiteral("RefusedInput"));
            box.exec();
        }),
        Qt::QueuedConnection);
}

void TEditorEx::InsertInput(const QString& text) {
    std::string bytes;
    if (EncodeInput(text, bytes, false)) ReplaceSelection(bytes);
}

void TEditorEx::ReplaceSelection(std::string_view bytes, EditRun run) {
    if (readOnly_) return;
    const Position from = std::min(anchor_, caret_);
    const Position to = std::max(anchor_, caret_);
    if (from == to && bytes.empty()) return;
    TextEdit edit{from, {}, std::string(bytes)};
    Position end;
    {
        const FlagScope editing(editing_);
        edit.removed = lines_->RemoveText(from, to);
        end = lines_->InsertText(from, bytes);
    }
    history_.Record(std::move(edit));
    // What replaced a selection is a step of its own; typing on starts the next.
    if (from != to && run == EditRun::Ends) history_.Seal();
    caret_ = anchor_ = end;  // MoveCaret would end the run of typing
    wantedColumn_ = end.column;
    ScrollToShowCaret();
    AfterCaretMoved();
}

void TEditorEx::Copy() const {
    if (anchor_ == caret_) return;
    const std::string bytes = SelectedText();
    auto* data = new QMimeData;
    data->setText(Sjis::ToQString(bytes));
    data->setData(BytesMimeType(), QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    QGuiApplication::clipboard()->setMimeData(data);
}

void TEditorEx::Cut() {
    if (readOnly_ || anchor_ == caret_) return;
    Copy();
    ReplaceSelection({});
}

void TEditorEx::Paste() {
    if (readOnly_) return;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data) return;
    std::string bytes;
    if (data->hasFormat(BytesMimeType())) {
        const QByteArray raw = data->data(BytesMimeType());
        bytes.assign(raw.constData(), static_cast<std::size_t>(raw.size()));
        // Our own bytes, unless another program put a NUL there.
        if (bytes.find('\0') != std::string::npos) return RefuseInput({QStringLiteral("U+0000")}, true);
    } else if (!EncodeInput(data->text(), bytes, true)) {
        return;
    }
    ReplaceSelection(bytes);
    history_.Seal();
}

void TEditorEx::Undo() { ReplayHistory(true); }

void TEditorEx::Redo() { ReplayHistory(false); }

void TEditorEx::ReplayHistory(bool backwards) {
    if (readOnly_) return;
    std::optional<Position> caret;
    {
        const FlagScope editing(editing_);
        caret = backwards ? history_.Undo(*lines_) : history_.Redo(*lines_);
    }
    if (caret) MoveCaret(*caret, false);
    ScrollToShowCaret();
}

void TEditorEx::inputMethodEvent(QInputMethodEvent* event) {
    RunGuarded([&] {
        if (readOnly_) return event->ignore();
        if (event->replacementLength() > 0) {
            // A conversion of text already committed: it replaces that many characters
            // counted from the caret.
            const std::string_view line = LineAt(caret_.line);
            const std::size_t caretChar = CharsBetween(line, 0, caret_.column);
            const auto first = static_cast<std::size_t>(
                std::max<std::int64_t>(0, static_cast<std::int64_t>(caretChar) + event->replacementStart()));
            const std::size_t from = ColumnAfterChars(line, 0, first);
            Select({caret_.line, from},
                   {caret_.line, ColumnAfterChars(line, from, static_cast<std::size_t>(event->replacementLength()))});
        }
        if (!event->commitString().isEmpty() || event->replacementLength() > 0) InsertInput(event->commitString());
        preedit_ = event->preeditString();
        preeditCursor_ = static_cast<int>(preedit_.size());
        for (const QInputMethodEvent::Attribute& attribute : event->attributes())
            if (attribute.type == QInputMethodEvent::Cursor) preeditCursor_ = attribute.start;
        UpdateRows(caret_.line, 1);
        event->accept();
    });
}

std::size_t TEditorEx::CharsBetween(std::string_view line, std::size_t from, std::size_t to) {
    std::size_t count = 0;
    for (std::size_t at = from; at < to; at = Sjis::NextShownChar(line, at)) ++count;
    return count;
}

std::size_t TEditorEx::ColumnAfterChars(std::string_view line, std::size_t from, std::size_t count) {
    std::size_t at = from;
    for (; count > 0 && at < line.size(); --count) at = Sjis::NextShownChar(line, at);
    return at;
}

QVariant TEditorEx::inputMethodQuery(Qt::InputMethodQuery query) const {
    return RunGuarded(QVariant(), [&] { return InputMethodAnswer(query); });
}

QVariant TEditorEx::InputMethodAnswer(Qt::InputMethodQuery query) const {
    // The input method sees a stretch of the caret's line around the caret; each
    // character as drawn is one UTF-16 unit of it.
    const std::string_view line = LineAt(caret_.line);
    // Plain variables, not structured bindings: clang before 16 cannot capture those.
    const std::pair<std::size_t, std::size_t> window = CaretLineWindow(kSurroundingBytes);
    const std::size_t from = window.first, to = window.second;
    const auto unitsBefore = [&](std::size_t column) {
        return static_cast<int>(CharsBetween(line, from, std::clamp(column, from, to)));
    };
    switch (query) {
    case Qt::ImEnabled: return !readOnly_;
    case Qt::ImHints: return static_cast<int>(Qt::ImhMultiLine);
    case Qt::ImFont: return font();
    case Qt::ImCursorRectangle:
    case Qt::ImAnchorRectangle: return CaretRect().translated(viewport()->pos());
    case Qt::ImSurroundingText: return Sjis::ToQString(line.substr(from, to - from));
    case Qt::ImCursorPosition: return unitsBefore(caret_.column);
    case Qt::ImAnchorPosition:
        return anchor_.line == caret_.line ? unitsBefore(anchor_.column) : unitsBefore(caret_.column);
    case Qt::ImCurrentSelection:
        return anchor_.line == caret_.line ? Sjis::ToQString(SelectedText()) : QString();
    default: return QAbstractScrollArea::inputMethodQuery(query);
    }
}

void TEditorEx::contextMenuEvent(QContextMenuEvent* event) {
    RunGuarded([&] {
        // The index views act on a click; only a view that shows a caret offers editing.
        if (readOnly_ && wholeRowSelection_) return QAbstractScrollArea::contextMenuEvent(event);
        QMenu menu(this);
        const bool selected = anchor_ != caret_;
        const auto add = [&](const QString& text, QKeySequence::StandardKey keys, bool enabled, auto handler) {
            QAction* action = menu.addAction(text, this, Guarded(handler));
            action->setShortcut(keys);
            action->setEnabled(enabled);
        };
        if (!readOnly_) {
            add(QStringLiteral("元に戻す(&U)"), QKeySequence::Undo, history_.CanUndo(), [this] { Undo(); });
            add(QStringLiteral("やり直し(&R)"), QKeySequence::Redo, history_.CanRedo(), [this] { Redo(); });
            menu.addSeparator();
            add(QStringLiteral("切り取り(&T)"), QKeySequence::Cut, selected, [this] { Cut(); });
        }
        add(QStringLiteral("コピー(&C)"), QKeySequence::Copy, selected, [this] { Copy(); });
        if (!readOnly_) {
            add(QStringLiteral("貼り付け(&P)"), QKeySequence::Paste, true, [this] { Paste(); });
            add(QStringLiteral("削除(&D)"), QKeySequence::Delete, selected, [this] { ReplaceSelection({}); });
        }
        menu.addSeparator();
        add(QStringLiteral("すべて選択(&A)"), QKeySequence::SelectAll, true, [this] { SelectAll(); });
        menu.exec(event->globalPos());
    });
}

void TEditorEx::mouseDoubleClickEvent(QMouseEvent* event) {
    RunGuarded([&] {
        if (event->button() != Qt::LeftButton || wholeRowSelection_)
            return QAbstractScrollArea::mouseDoubleClickEvent(event);
        // The word under the pointer: a run of letters and digits, or of full-width
        // characters, or else the one character.
        const Position at = CharacterUnder(event->position().toPoint());
        const std::string_view line = LineAt(at.line);
        if (line.empty()) return;
        const auto kindAt = [&](std::size_t column) {
            const std::size_t length = Sjis::NextShownChar(line, column) - column;
            const auto byte = static_cast<unsigned char>(line[column]);
            if (length == 2) return 2;
            return std::isalnum(byte) || byte == '_' ? 1 : 0;
        };
        // Beyond the end of the line, its last character.
        std::size_t start = at.column < line.size() ? at.column : Sjis::ShownCharStart(line, line.size() - 1);
        const int kind = kindAt(start);
        std::size_t end = Sjis::NextShownChar(line, start);
        if (kind != 0) {
            while (start > 0 && kindAt(Sjis::ShownCharStart(line, start - 1)) == kind)
                start = Sjis::ShownCharStart(line, start - 1);
            while (end < line.size() && kindAt(end) == kind) end = Sjis::NextShownChar(line, end);
        }
        pressed_ = false;  // the release that follows is no drag
        Select({at.line, start}, {at.line, end});
        wantedColumn_ = caret_.column;
    });
}
