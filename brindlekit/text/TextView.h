#pragma once

#include "brindlekit/text/LineRendering.h"
#include "brindlekit/text/TextViewModel.h"
#include "brindlekit/text/ViewPalette.h"
#include "platform/Export.h"

#include <wx/font.h>
#include <wx/timer.h>
#include <wx/window.h>

#include <cstdint>
#include <memory>
#include <optional>

class wxDC;
class wxPrintout;

namespace brindle {

class CTextBuffer;
class TextPainter;

// A read-only text window over a CTextBuffer: turns keys, mouse and scroll events
// into the commands of its TextViewModel, and has its TextPainter draw the rows
// (with colours from the overridable hooks) and the selection margin; shows the
// caret.
//
// The program derives from it (or from CEditView), overrides the hooks it needs, and
// attaches a buffer with AttachToBuffer (or by overriding LocateTextBuffer).
class BRINDLEKIT_API CTextView : public wxWindow, protected ITextViewHost {
public:
    CTextView();
    CTextView(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
              const wxSize& size = wxDefaultSize, long style = 0);
    ~CTextView() override;

    bool Create(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize, long style = 0);

    TextViewModel& Model() { return *m_pModel; }
    const TextViewModel& Model() const { return *m_pModel; }

    // null: the buffer LocateTextBuffer names.
    void AttachToBuffer(CTextBuffer* buffer = nullptr);
    void DetachFromBuffer();
    CTextBuffer* GetBuffer() const { return m_pModel->GetBuffer(); }

    // The text font; bold and italic variants are derived from it.
    void SetTextFont(const wxFont& font);
    const wxFont& GetTextFont() const;
    const wxFont& GetFont(bool italic, bool bold);
    void SetTabSize(int tabSize) { m_pModel->SetTabSize(tabSize); }
    void SetViewTabs(bool viewTabs) { m_pModel->SetViewTabs(viewTabs); }
    void SetSelectionMargin(bool margin) { m_pModel->SetSelectionMargin(margin); }
    void SetShowLineNumbers(bool show) { m_pModel->SetShowLineNumbers(show); }
    void SetFolding(bool folding) { m_pModel->SetFolding(folding); }
    void SetSmoothScroll(bool smooth) { m_pModel->SetSmoothScroll(smooth); }
    void SetDisableDragAndDrop(bool disable) { m_pModel->SetDisableDragAndDrop(disable); }
    // Whether Ctrl/Alt+digit and the F2 keys reach the bookmark commands.
    void SetUseBookmarkKeys(bool use) { m_bBookmarkKeys = use; }
    // The clipboard the view uses (not owned); by default the one the program
    // installed with brindle::SetClipboard.
    void SetClipboard(IClipboard* clipboard) { m_pModel->SetClipboard(clipboard); }

    // Commands by id, as menus, keys and other code send them. False: not this view's.
    virtual bool ExecuteCommand(int id);
    bool IsCommandEnabled(int id) const;
    // Whether a command the derived view carries out itself (in ExecuteCommand)
    // is enabled; nullopt for the view's own commands and for others'.
    virtual std::optional<bool> DerivedCommandState(int id) const;
    StatusIndicator GetStatusIndicator(int paneId) const { return m_pModel->GetIndicator(paneId); }
    // The width the program's status pane needs for a view indicator.
    static const char* IndicatorPlaceholder(int paneId);

    // ---- Hooks the program overrides ----
    // Colours a line: appends blocks (when blocks is not null) and returns the state at
    // the end of the line. The default colours nothing.
    virtual std::uint32_t ParseLine(std::uint32_t cookie, int line, TextBlock* blocks, int& count);
    virtual CTextBuffer* LocateTextBuffer();
    // Folding comes from ITextViewHost::FoldEnd and FoldRanges, which a view that
    // folds overrides.
    virtual ColorRef GetColor(int colorIndex);
    virtual void GetLineColors(int line, ColorRef& background, ColorRef& text, bool& drawWhitespace);
    virtual bool GetBold(int colorIndex);
    virtual bool GetItalic(int colorIndex);
    virtual void DrawSingleLine(wxDC& dc, const wxRect& rect, int line);
    virtual void DrawMargin(wxDC& dc, const wxRect& rect, int line);
    // A right click (after the cursor moved) or the context-menu key; client point.
    virtual void ShowContextMenu(const wxPoint& point);
    virtual void OnFocusChanged(bool gained);
    // The top line (horizontal false) or offset (true) changed: split panes follow.
    virtual void UpdateSiblingScrollPos(bool horizontal);
    // Another pane of the same row (vertical) or column changed its position.
    virtual void OnUpdateSibling(CTextView* source, bool vertical);
    // Runs the Find dialog.
    virtual void OnEditFind();

    // ---- Printing ----
    // Prints the text, with the print dialog when `prompt` is set; false when
    // cancelled or failed (the user is told of a failure).
    bool PrintText(bool prompt);
    // Shows the print preview of the text.
    bool PreviewText();
    // The printout of the text as it is now; a derived view may give its own
    // header or footer.
    virtual wxPrintout* CreatePrintout();
    virtual wxString GetPrintTitle() const;

    // Paints the client area into dc as the window would (all rows).
    void RenderTo(wxDC& dc);

    // The screen rectangle of a text line, for tests and tooltips.
    wxRect LineRect(int line) const;
    bool IsSelectionShown() const;
    // The colours of the desktop's theme, taken when first needed and again
    // after the theme changes.
    const ViewPalette& Palette();

protected:
    explicit CTextView(std::unique_ptr<TextViewModel> model);

    // ITextViewHost
    void InvalidateLines(int first, int last) override;
    void InvalidateAll() override;
    void OnTopLineChanged(int oldTop, int newTop) override;
    void OnOffsetCharChanged(int oldOffset, int newOffset) override;
    void RecalcVertScrollBar() override;
    void RecalcHorzScrollBar() override;
    void UpdateCaret() override;
    void RepaintNow() override;
    void BeginMouseCapture() override;
    void EndMouseCapture() override;

    // Converts a key event to a command; 0 if none.
    int KeyCommand(const wxKeyEvent& event) const;
    void EnsureMetrics();
    void DoDragText();
    // Extra drawing over a line (the edit view's drop indicator).
    virtual void DrawLineOverlay(wxDC&, const wxRect&, int) {}

    std::unique_ptr<TextViewModel> m_pModel;

private:
    friend class TextPainter; // calls the per-row hooks, DrawLineOverlay too

    void Init();
    void BindEvents();
    // Print, Print Direct, Print Preview and Page Setup: whether the id is one of
    // them, and then whether it is enabled / carried out.
    std::optional<bool> PrintCommandState(int id) const;
    bool ExecutePrintCommand(int id);

    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnScrollWin(wxScrollWinEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnMouseDown(wxMouseEvent& event);
    void OnMouseUp(wxMouseEvent& event);
    void OnMouseMotion(wxMouseEvent& event);
    void OnMouseDClick(wxMouseEvent& event);
    void OnRightDown(wxMouseEvent& event);
    void OnMouseWheel(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);
    void OnSetFocus(wxFocusEvent& event);
    void OnKillFocus(wxFocusEvent& event);
    void OnTimer(wxTimerEvent& event);
    void OnContextMenu(wxContextMenuEvent& event);
    void OnMenuCommand(wxCommandEvent& event);
    void OnUpdateCommand(wxUpdateUIEvent& event);
    void OnSysColourChanged(wxSysColourChangedEvent& event);

    std::unique_ptr<TextPainter> m_painter;
    wxTimer m_timer;
    bool m_bBookmarkKeys = false;
    bool m_bMetricsValid = false;
    bool m_foldSearchQueued = false; // a search for fold markers waits for the paint to be shown
    std::optional<ViewPalette> m_palette;
};

} // namespace brindle
