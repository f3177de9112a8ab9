#include "app/views/EditSourceView.h"

#include "app/document/BrindleDoc.h"
#include "app/document/BrindleDoc2.h"
#include "app/menus/Menus.h"
#include "app/views/SourceColouring.h"
#include "brindlekit/text/LineFlags.h"
#include "platform/ui/UIServices.h"
#include "resources/CommandIds.h"

#include <algorithm>
#include <memory>
#include <wx/app.h>
#include <wx/menu.h>

using namespace brindle;

wxDEFINE_EVENT(EVT_BRINDLE_EDIT_MENU, wxCommandEvent);

void RequestEditMenu(int menuResourceId)
{
    wxWindow* top = wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
    if (!top) return;
    wxCommandEvent event(EVT_BRINDLE_EDIT_MENU);
    event.SetInt(menuResourceId);
    top->GetEventHandler()->ProcessEvent(event);
}

namespace {

std::uint32_t ColourLine(CTextBuffer* buffer, std::uint32_t cookie, int line, TextBlock* blocks, int& count)
{
    if (!buffer) return cookie;
    return source_colour::ParseLine(
        cookie, std::string_view(buffer->GetLineChars(line), static_cast<size_t>(buffer->GetLineLength(line))),
        blocks, count);
}


// The context menus' Select All and Find Next items carry ids of their own; they
// do what the text view's commands of those names do.
int TextViewCommandFor(int id)
{
    if (id == ids::ID_EDIT_SELECT_ALL_TEXT) return ids::ID_EDIT_SELECT_ALL;
    if (id == ids::ID_EDIT_FIND_NEXT_TEXT) return ids::ID_EDIT_REPEAT;
    return id;
}

} // namespace

CEditSourceView::CEditSourceView(wxWindow* parent, CBrindleDoc* doc) : CEditView(parent), m_doc(doc) {}

CTextBuffer* CEditSourceView::LocateTextBuffer() { return m_doc ? &m_doc->GetTextBuffer() : nullptr; }

void CEditSourceView::DetachDocument()
{
    DetachFromBuffer();
    m_doc = nullptr;
}

std::uint32_t CEditSourceView::ParseLine(std::uint32_t cookie, int line, TextBlock* blocks, int& count)
{
    return ColourLine(GetBuffer(), cookie, line, blocks, count);
}

void CEditSourceView::OnFocusChanged(bool gained)
{
    CEditView::OnFocusChanged(gained);
    if (!gained) return;
    RequestEditMenu(ids::IDR_SOURCE_EDIT);
}

void CEditSourceView::ShowContextMenu(const wxPoint& point) { TrackContextMenu(this, ids::IDR_SOURCE_EDIT, point); }

// The context menus' own ids stand for text view commands.
static std::optional<bool> ContextCommandState(const CTextView& view, int id)
{
    const int command = TextViewCommandFor(id);
    if (command == id) return std::nullopt;
    return view.IsCommandEnabled(command);
}

std::optional<bool> CEditSourceView::DerivedCommandState(int id) const
{
    if (id == ids::ID_TOOLS_VALIDATE || id == ids::ID_TOOLS_AUTO_FORMAT) return m_doc != nullptr;
    return ContextCommandState(*this, id);
}

std::optional<bool> CEditSourceView2::DerivedCommandState(int id) const { return ContextCommandState(*this, id); }

bool CEditSourceView::ExecuteCommand(int id)
{
    if (id == ids::ID_TOOLS_VALIDATE) {
        Validate();
        return true;
    }
    if (id == ids::ID_TOOLS_AUTO_FORMAT) {
        AutoFormat();
        return true;
    }
    return CEditView::ExecuteCommand(TextViewCommandFor(id));
}

bool CEditSourceView::Validate()
{
    if (!m_doc) return false;
    WaitCursor wait;
    XmlParseError error;
    if (m_doc->CheckSourceParses(error)) {
        m_statusMessage = "Document validation successful.";
        return true;
    }
    m_statusMessage = error.reason;
    CTextBuffer* buffer = GetBuffer();
    if (error.line > 0 && buffer && buffer->GetLineCount() > 0) {
        SetFocus();
        const int line = std::min(static_cast<int>(error.line) - 1, buffer->GetLineCount() - 1);
        Model().MoveToPos(line, 0);
        Model().SetSelection(CPoint(0, line), CPoint(buffer->GetLineLength(line), line));
        Model().EnsureVisible(CPoint(0, line));
        buffer->SetLineFlag(line, LINEF_BOOKMARK, true, false);
        Refresh();
    }
    return false;
}

bool CEditSourceView::AutoFormat()
{
    if (!Validate()) return false;
    if (!m_doc || !m_doc->ReformatSourceText()) return false;
    Model().MoveToPos(0, 0);
    Refresh();
    return true;
}

CEditSourceView2::CEditSourceView2(wxWindow* parent, CBrindleDoc2* doc) : CEditView(parent), m_doc(doc) {}

CTextBuffer* CEditSourceView2::LocateTextBuffer() { return m_doc ? &m_doc->GetTextBuffer() : nullptr; }

void CEditSourceView2::DetachDocument()
{
    DetachFromBuffer();
    m_doc = nullptr;
}

std::uint32_t CEditSourceView2::ParseLine(std::uint32_t cookie, int line, TextBlock* blocks, int& count)
{
    return ColourLine(GetBuffer(), cookie, line, blocks, count);
}

void CEditSourceView2::OnFocusChanged(bool gained)
{
    CEditView::OnFocusChanged(gained);
    if (gained) RequestEditMenu(ids::IDR_DTD_EDIT);
}

void CEditSourceView2::ShowContextMenu(const wxPoint& point) { TrackContextMenu(this, ids::IDR_DTD_EDIT, point); }

bool CEditSourceView2::ExecuteCommand(int id) { return CEditView::ExecuteCommand(TextViewCommandFor(id)); }
