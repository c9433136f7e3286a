#include "textview/TypeToFind.h"

#include "common/ErrorBoundary.h"
#include "common/Sjis.h"
#include "textmodel/LinePrefix.h"
#include "textview/TEditorEx.h"

#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>
#include <QKeyEvent>

#include <algorithm>
#include <optional>

TypeToFind::TypeToFind(TEditorEx* view) : QObject(view), view_(view) { view->installEventFilter(this); }

bool TypeToFind::PrefixExpired() const { return clock_() - lastKey_ > kPause; }

std::string TypeToFind::Prefix() const { return PrefixExpired() ? std::string() : prefix_; }

bool TypeToFind::eventFilter(QObject* watched, QEvent* event) {
    // Only a view that takes no typing of its own: in an editor, typing is editing.
    if (watched != view_ || !view_->ReadOnly()) return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress:
        return RunGuarded(false, [&] { return KeyPressed(static_cast<QKeyEvent*>(event)); });
    case QEvent::InputMethod:
        RunGuarded([&] { InputMethod(static_cast<QInputMethodEvent*>(event)); });
        return true;
    case QEvent::InputMethodQuery:
        RunGuarded([&] { AnswerInputMethodQuery(static_cast<QInputMethodQueryEvent*>(event)); });
        return true;
    default: return QObject::eventFilter(watched, event);
    }
}

bool TypeToFind::KeyPressed(QKeyEvent* event) {
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    ForgetExpiredPrefix();
    const int key = event->key();
    // With nothing typed, Escape and Backspace go on to wherever they went before.
    if (key == Qt::Key_Escape || key == Qt::Key_Backspace) {
        if (prefix_.empty()) return false;
        if (key == Qt::Key_Escape) {
            prefix_.clear();
        } else {
            // A whole character: half of a double-byte one would begin other characters.
            std::size_t last = 0;
            for (std::size_t at = 0; at < prefix_.size(); at = Sjis::NextCharPos(prefix_, at)) last = at;
            prefix_.erase(last);
            lastKey_ = clock_();
        }
        event->accept();
        return true;
    }
    const QString text = event->text();
    if (text.isEmpty() || !text.at(0).isPrint()) return false;
    // No headword begins with a blank, so a blank begins nothing; inside a prefix it
    // is part of one ("abdominal pain").
    if (prefix_.empty() && text.trimmed().isEmpty()) return false;
    Type(text);
    event->accept();
    return true;
}

void TypeToFind::InputMethod(QInputMethodEvent* event) {
    // Text being composed is the input method's own to show; only what it commits is typed.
    if (!event->commitString().isEmpty()) {
        ForgetExpiredPrefix();
        Type(event->commitString());
    }
    event->accept();
}

void TypeToFind::AnswerInputMethodQuery(QInputMethodQueryEvent* event) const {
    // The view turns the input method off while it is read-only; here it serves the
    // search, and the view answers the rest (where the caret is, for the candidates).
    const auto queries = static_cast<unsigned>(event->queries().toInt());
    for (unsigned bit = 1; bit != 0; bit <<= 1) {
        const auto query = static_cast<Qt::InputMethodQuery>(queries & bit);
        if (!query) continue;
        event->setValue(query, query == Qt::ImEnabled ? QVariant(true) : view_->inputMethodQuery(query));
    }
    event->accept();
}

void TypeToFind::ForgetExpiredPrefix() {
    if (PrefixExpired()) prefix_.clear();
}

void TypeToFind::Type(const QString& text) {
    // A character code page 932 lacks becomes a NUL, which no line holds: the prefix
    // then matches nothing, as such a character would.
    prefix_ += Sjis::FromQString(text, '\0').bytes;
    lastKey_ = clock_();
    const auto caret = static_cast<std::size_t>(std::max<std::int64_t>(0, view_->CaretRow()));
    const std::optional<std::size_t> line = FindLineWithPrefix(view_->Lines(), caret, prefix_);
    if (!line) return;
    view_->SetCaretRow(static_cast<std::int64_t>(*line));
    emit Found();
}
