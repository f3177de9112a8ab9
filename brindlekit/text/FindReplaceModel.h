#pragma once

#include "brindlekit/text/Point.h"
#include "platform/Export.h"

#include <cstdint>
#include <string>

namespace brindle {

class TextViewModel;
class EditViewModel;

// Registry sections of the search options.
inline constexpr const char* kFindSection = "Settings\\Find";
inline constexpr const char* kReplaceSection = "Settings\\Replace";

// The Find dialog's values and behaviour, without the dialog.
class BRINDLEKIT_API FindDialogModel {
public:
    explicit FindDialogModel(TextViewModel& view) : m_view(view) {}

    // Fills the values from the view's last search or from the stored settings, takes a
    // one-line selection as the search text, and keeps the selection visible.
    void Prepare();
    bool CanFindNext() const { return !m_strText.empty(); }
    // Searches from the current position (wrapping). True: the match is selected and
    // the dialog closes. False: "Cannot find string" was shown; the search restarts
    // from the beginning next time.
    bool FindNext();
    // The dialog closed (either button): its values become the view's last search and
    // are stored.
    void Close();

    std::uint32_t Flags() const;

    std::string m_strText;
    bool m_bMatchCase = false;
    bool m_bWholeWord = false;
    int m_nDirection = 1; // 0 up, 1 down
    CPoint m_ptCurrentPos;

private:
    TextViewModel& m_view;
};

// The Replace dialog's values and behaviour, without the dialog.
class BRINDLEKIT_API ReplaceDialogModel {
public:
    explicit ReplaceDialogModel(EditViewModel& view) : m_view(view) {}

    // Reads the stored values and chooses the scope. False (and nothing changes) when
    // the view is not editable.
    bool Begin();
    // Restores the (adjusted) selection and stores the values.
    void End();

    bool CanFindNext() const { return !m_strText.empty(); }
    void OnFindNext();
    void OnReplace();
    void OnReplaceAll();

    std::string m_strText;
    std::string m_strReplaceWith;
    bool m_bMatchCase = false;
    bool m_bWholeWord = false;
    int m_nScope = 1; // 0 selection, 1 whole file
    bool m_bEnableScopeSelection = false;
    bool m_bFound = false;
    CPoint m_ptCurrentPos;
    CPoint m_ptSearchOrigin;
    CPoint m_ptBlockBegin;
    CPoint m_ptBlockEnd;

private:
    bool HighlightNext();
    void ReplaceFound();

    EditViewModel& m_view;
};

} // namespace brindle
