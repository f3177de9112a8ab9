#pragma once

#include "brindlekit/text/TextViewModel.h"

namespace brindle {

// The editable view's model: typed characters and edit commands become insertions and
// deletions on the buffer with their undo actions and groups; overwrite mode,
// auto-indent, block indent and unindent, the clipboard and dropped text.
class BRINDLEKIT_API EditViewModel : public TextViewModel {
public:
    EditViewModel();

    void ResetView() override;
    void UpdateView(ITextBufferView* source, CUpdateContext* context, std::uint32_t flags, int line) override;
    // Auto-indent after a typed line break.
    void OnEditOperation(int action, std::string_view text) override;

    // A buffer is attached and it is not read-only (the host may narrow this).
    bool QueryEditable() const;
    bool DefaultEditable() const;

    bool GetOverwriteMode() const { return m_bOvrMode; }
    void SetOverwriteMode(bool ovr) { m_bOvrMode = ovr; }
    bool GetAutoIndent() const { return m_bAutoIndent; }
    void SetAutoIndent(bool autoIndent) { m_bAutoIndent = autoIndent; }
    bool GetDisableBSAtSOL() const { return m_bDisableBSAtSOL; }
    void SetDisableBSAtSOL(bool disable) { m_bDisableBSAtSOL = disable; }

    // One typed character: "\r" for Enter, otherwise its UTF-8 bytes.
    void OnChar(std::string_view typed);
    bool DeleteCurrentSelection();
    // Replaces the selection and leaves the new text selected.
    bool ReplaceSelection(std::string_view text);
    void Cut();
    void Paste();
    void OnEditDelete();
    void OnEditDeleteBack();
    void OnEditTab();
    void OnEditUntab();
    void OnEditSwitchOvrmode() { m_bOvrMode = !m_bOvrMode; }
    void OnEditUndo();
    void OnEditRedo();

    // Inserts dropped text at the client point; false when nothing was inserted.
    bool DoDropText(std::string_view text, CPoint clientPoint);
    void OnDropSource(bool moved) override;
    bool CanDropMove() const override { return true; }

    // The Replace dialog's selection scope: the selection is saved, kept in step with
    // the changes, and restored at the end.
    void PushSelection();
    void PopSelection();
    bool IsSelectionPushed() const { return m_bSelectionPushed; }

    bool ExecuteCommand(int id) override;
    bool IsCommandEnabled(int id, bool& handled) const override;
    bool IsCommandChecked(int id) const override;
    StatusIndicator GetIndicator(int paneId) const override;

private:
    void BlockSelectionLines(int& firstLine, int& lastLine);

    bool m_bOvrMode = false;
    bool m_bDisableBSAtSOL = false;
    bool m_bAutoIndent = true;
    bool m_bSelectionPushed = false;
    CPoint m_ptSavedSelStart;
    CPoint m_ptSavedSelEnd;
};

} // namespace brindle
