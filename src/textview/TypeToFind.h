#pragma once
// Typing in a read-only list view to find a line, as in any list of files: the
// characters typed within a second of each other make a prefix, and the caret goes to
// the first line at or after it that begins with them (LinePrefix.h), wrapping once to
// the top. Backspace takes the last character off the prefix and Escape empties it;
// every other key does what it did. Text an input method commits counts as typed.
//
// It sits on the view as an event filter, so the view stays a plain editor; what a
// line found means is the owner's business, told through Found.

#include <QObject>

#include <chrono>
#include <functional>
#include <string>

class QInputMethodEvent;
class QInputMethodQueryEvent;
class QKeyEvent;
class TEditorEx;

class TypeToFind : public QObject {
    Q_OBJECT
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // A key longer than this after the one before starts a new prefix.
    static constexpr std::chrono::milliseconds kPause{1000};

    // Watches `view`, and is deleted with it.
    explicit TypeToFind(TEditorEx* view);

    // Where the time of a key comes from: the steady clock, unless a test sets its own.
    void SetClock(Clock clock) { clock_ = std::move(clock); }

    // What has been typed, code page 932 bytes; empty when it has expired.
    std::string Prefix() const;

signals:
    // A line begins with what was typed; the caret is on it.
    void Found();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool KeyPressed(QKeyEvent* event);
    void InputMethod(QInputMethodEvent* event);
    void AnswerInputMethodQuery(QInputMethodQueryEvent* event) const;
    bool PrefixExpired() const;  // the last key came longer than kPause ago
    void ForgetExpiredPrefix();
    void Type(const QString& text);

    TEditorEx* view_;
    Clock clock_ = [] { return std::chrono::steady_clock::now(); };
    std::string prefix_;
    std::chrono::steady_clock::time_point lastKey_{};
};
