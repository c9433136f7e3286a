#pragma once
// Stepping through the records and the search results: the session decides each step,
// and this controller applies it to the two index lists, the hit counter and the
// record page. It owns which list the index pane shows.

#include "session/DictionarySession.h"

#include <cstdint>
#include <functional>
#include <optional>

class QLineEdit;
class QToolButton;
class TEditorEx;

class RecordNavigator {
public:
    struct Controls {
        TEditorEx* headwords;     // EditorEx2
        TEditorEx* results;       // EditorEx3
        QToolButton* listSwitch;  // SpeedButton2, which names the list it shows
        QLineEdit* hitCounter;    // edtNowNo
    };
    // `showRecord(step)` puts the step's record on the page.
    RecordNavigator(DictionarySession& session, Controls controls, std::function<void(const RecordStep&)> showRecord);

    // Along the headword index; with the search results in its place, along those.
    void PreviousRecord();
    void NextRecord();
    void FirstRecord();
    void LastRecord();
    // Along the results of the last search.
    void PreviousHit();
    void NextHit();
    // The current result again, and the list on screen scrolled to its caret (after a
    // change of layout).
    void ShowCurrentHitAgain();
    // After a search that ended with a result list: its first result.
    void ShowFirstResult();
    // A click or Return on a row of either list.
    void ChooseHeadword();
    void ChooseResult();
    // A headword looked up or chosen from the completion list: the headword caret to
    // it, the list scrolled there if it shows, and its record; the focus stays where it is.
    void ShowLookedUp(const RecordStep& step);
    // インデックス: the pane switches between the headwords and the results.
    void SwitchList();
    // The compact layout shows neither list; back in the full one the headwords show.
    void SetListsShown(bool shown);

private:
    // The list on screen; none in the compact layout.
    TEditorEx* VisibleIndex() const;
    // Gives the list on screen the focus; the focus stays where it is when none shows.
    void FocusVisibleIndex();
    bool HeadwordsShowing() const { return listsShown_ && !resultsShown_; }
    void FocusHeadwordsIfShowing();
    // The carets first, the index taking the focus before and after they move so that
    // it scrolls to the new row, then the record.
    void StepAlongHeadwords(const std::optional<RecordStep>& step);
    void StepAlongHits(const std::optional<RecordStep>& step);
    // A step's hit counter, carets and record, in that order.
    void Apply(const RecordStep& step);

    DictionarySession& session_;
    Controls ui_;
    std::function<void(const RecordStep&)> showRecord_;
    bool listsShown_ = true;
    bool resultsShown_ = false;
};
