#include "app/views/EditSourceView.h"

#include "app/document/BrindleDoc.h"
#include "app/document/BrindleDoc2.h"
#include "app/menus/Menus.h"
#include "app/settings/Settings.h"
#include "app/views/SourceColouring.h"
#include "app/views/XmlFoldScanner.h"
#include "brindlekit/text/LineFlags.h"
#include "platform/ui/UIServices.h"
#include "resources/CommandIds.h"

#include <algorithm>
#include <memory>
#include <wx/app.h>
#include <wx/filedlg.h>
#include <wx/menu.h>
#include <wx/utils.h>

using namespace brindle;

wxDEFINE_EVENT(EVT_BRINDLE_EDIT_MENU, wxCommandEvent);
wxDEFINE_EVENT(EVT_BRINDLE_VALIDATED, wxCommandEvent);

void RequestEditMenu(int menuResourceId)
{
    wxWindow* top = wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
    if (!top) return;
    wxCommandEvent event(EVT_BRINDLE_EDIT_MENU);
    event.SetInt(menuResourceId);
    top->GetEventHandler()->ProcessEvent(event);
}

namespace {

// The context menus' Select All and Find Next items carry ids of their own; they
// do what the text view's commands of those names do.
int TextViewCommandFor(int id)
{
    if (id == ids::ID_EDIT_SELECT_ALL_TEXT) return ids::ID_EDIT_SELECT_ALL;
    if (id == ids::ID_EDIT_FIND_NEXT_TEXT) return ids::ID_EDIT_REPEAT;
    return id;
}

} // namespace

SourceTextView::SourceTextView(wxWindow* parent, CTextBuffer& buffer, int menuResourceId, xml_colour::Grammar grammar)
    : CEditView(parent), m_buffer(&buffer), m_menuResourceId(menuResourceId), m_grammar(grammar),
      m_xmlColouring(Settings::GetXmlColouring() != 0)
{
    ApplyDisplaySettings();
    // The setting is read once a paint, not once a line.
    Bind(wxEVT_PAINT, [this](wxPaintEvent& event) {
        ApplyColouringSetting();
        event.Skip();
    });
}

void SourceTextView::ApplyColouringSetting()
{
    const bool xml = Settings::GetXmlColouring() != 0;
    if (xml == m_xmlColouring) return;
    m_xmlColouring = xml;
    Model().ForgetParseStates();
}

void SourceTextView::ApplyDisplaySettings()
{
    SetShowLineNumbers(Settings::GetShowLineNumbers() != 0);
    SetFolding(Settings::GetEnableFolding() != 0);
}

namespace {

xml_fold::LineSource LinesOf(const CTextBuffer& buffer)
{
    return [&buffer](int line) {
        return std::string_view(buffer.GetLineChars(line), static_cast<size_t>(buffer.GetLineLength(line)));
    };
}

} // namespace

int SourceTextView::FoldEnd(int line)
{
    const CTextBuffer* buffer = GetBuffer();
    if (!buffer) return -1;
    return xml_fold::FindEnd(LinesOf(*buffer), buffer->GetLineCount(), line, FoldModel::kSearchLines);
}

std::vector<FoldRange> SourceTextView::FoldRanges()
{
    const CTextBuffer* buffer = GetBuffer();
    if (!buffer) return {};
    wxBusyCursor wait; // the whole text is read
    return xml_fold::FindRanges(LinesOf(*buffer), buffer->GetLineCount());
}

void SourceTextView::DetachDocument()
{
    DetachFromBuffer();
    m_buffer = nullptr;
}

std::uint32_t SourceTextView::ParseLine(std::uint32_t cookie, int line, TextBlock* blocks, int& count)
{
    const CTextBuffer* buffer = GetBuffer();
    if (!buffer) return cookie;
    const std::string_view text(buffer->GetLineChars(line), static_cast<size_t>(buffer->GetLineLength(line)));
    if (m_xmlColouring) return xml_colour::ParseLine(cookie, text, blocks, count, m_grammar);
    return source_colour::ParseLine(cookie, text, blocks, count);
}

void SourceTextView::OnFocusChanged(bool gained)
{
    CEditView::OnFocusChanged(gained);
    if (!gained) return;
    // The settings sheet may have changed them since the view was made.
    ApplyDisplaySettings();
    RequestEditMenu(m_menuResourceId);
}

void SourceTextView::ShowContextMenu(const wxPoint& point) { TrackContextMenu(this, m_menuResourceId, point); }

std::optional<bool> SourceTextView::DerivedCommandState(int id) const
{
    const int command = TextViewCommandFor(id);
    if (command == id) return std::nullopt;
    return IsCommandEnabled(command);
}

bool SourceTextView::ExecuteCommand(int id) { return CEditView::ExecuteCommand(TextViewCommandFor(id)); }

CEditSourceView::CEditSourceView(wxWindow* parent, CBrindleDoc* doc)
    : SourceTextView(parent, doc->GetTextBuffer(), ids::IDR_SOURCE_EDIT, xml_colour::Grammar::Document), m_doc(doc)
{
}

void CEditSourceView::DetachDocument()
{
    SourceTextView::DetachDocument();
    m_doc = nullptr;
}

void CEditSourceView::OnFocusChanged(bool gained)
{
    // The document learns first, so the Edit menu the view asks for sees it.
    if (gained && m_doc) m_doc->SourceViewFocused();
    SourceTextView::OnFocusChanged(gained);
}

std::optional<bool> CEditSourceView::DerivedCommandState(int id) const
{
    if (id == ids::ID_TOOLS_VALIDATE || id == ids::ID_TOOLS_AUTO_FORMAT || id == ids::ID_TOOLS_VALIDATE_AGAINST)
        return m_doc != nullptr;
    return SourceTextView::DerivedCommandState(id);
}

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
    if (id == ids::ID_TOOLS_VALIDATE_AGAINST) {
        ChooseSchemaAndValidate();
        return true;
    }
    return SourceTextView::ExecuteCommand(id);
}

bool CEditSourceView::Validate()
{
    if (!m_doc) return false;
    return ShowOutcome(m_doc->ValidateSource());
}

bool CEditSourceView::ValidateAgainst(const SchemaChoice& schema)
{
    if (!m_doc) return false;
    return ShowOutcome(m_doc->ValidateSource(&schema));
}

bool CEditSourceView::ShowOutcome(const ValidationReport& report)
{
    if (report.outcome == XmlCheck::Cancelled) {
        m_statusMessage = report.errors.empty() ? "Validation cancelled." : report.errors.front().reason;
        return false;
    }
    m_lastErrors = report.errors;
    wxCommandEvent validated(EVT_BRINDLE_VALIDATED);
    validated.SetEventObject(this);
    GetEventHandler()->ProcessEvent(validated);
    if (report.outcome == XmlCheck::Valid) {
        m_statusMessage = "Document validation successful.";
        return true;
    }
    const XmlParseError& error = report.errors.front();
    m_statusMessage = error.reason;
    CTextBuffer* buffer = GetBuffer();
    if (error.line > 0 && error.url.empty() && buffer && buffer->GetLineCount() > 0) {
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

void CEditSourceView::ChooseSchemaAndValidate()
{
    wxFileDialog dialog(this, "Validate Against", wxEmptyString, wxString::FromUTF8(m_lastSchema),
                        "Schemas (*.rng;*.sch;*.xsd;*.dtd)|*.rng;*.sch;*.xsd;*.dtd|All files (*)|*",
                        wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK) return;
    const std::string path = dialog.GetPath().utf8_string();
    const SchemaKind kind = SchemaKindOfPath(path);
    if (kind == SchemaKind::Unknown) {
        UIServices().MessageBox("\"" + path +
                                    "\" is not a schema this editor reads. Choose a RelaxNG (.rng), Schematron "
                                    "(.sch), XML Schema (.xsd) or DTD (.dtd) file.",
                                MsgButtons::Ok, MsgIcon::Warning);
        return;
    }
    m_lastSchema = path;
    ValidateAgainst({kind, path});
}

bool CEditSourceView::AutoFormat()
{
    if (!Validate()) return false;
    if (!m_doc) return false;
    if (!m_doc->ReformatSourceText()) {
        m_doc->Errors().Tell();
        return false;
    }
    Model().MoveToPos(0, 0);
    Refresh();
    return true;
}

CEditSourceView2::CEditSourceView2(wxWindow* parent, CBrindleDoc2* doc)
    : SourceTextView(parent, doc->GetTextBuffer(), ids::IDR_DTD_EDIT, xml_colour::Grammar::Dtd)
{
}
