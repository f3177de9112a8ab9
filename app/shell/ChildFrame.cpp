#include "app/shell/ChildFrame.h"

#include "app/document/BrindleDoc.h"
#include "app/shell/IndicatorStatusBar.h"
#include "app/document/Transform.h"
#include "app/shell/TransformDlg.h"
#include "app/views/BrindleView.h"
#include "app/views/BrowserView.h"
#include "app/views/EditSourceView.h"
#include "app/views/LeftView.h"
#include "app/views/ValidationErrorsPane.h"
#include "brindlekit/chrome/SplitterWndEx.h"
#include "platform/ui/UIServices.h"
#include "resources/CommandIds.h"

#include <wx/sizer.h>
#include <wx/wupdlock.h>

using namespace ids;
using brindle::CSplitterWndEx;

CChildFrame::CChildFrame(CBrindleDoc* doc, wxView* view, wxAuiMDIParentFrame* parent)
    : DocChildFrame(doc, view, parent, IDR_XMLTYPE), m_doc(doc)
{
    m_splitter = new CSplitterWndEx(this, 1, 4);
    m_tree = new CLeftView(m_splitter, doc);
    m_splitter->SetPane(0, kTreeColumn, m_tree, wxSize(200, 250));
    m_form = new CBrindleView(m_splitter, doc);
    m_splitter->SetPane(0, kListColumn, m_form, wxSize(300, 250));
    m_source = new CEditSourceView(m_splitter, doc);
    m_splitter->SetPane(0, kSourceColumn, m_source, wxSize(300, 250));
    m_browser = new CBrowserView(m_splitter, doc);
    m_splitter->SetPane(0, kBrowserColumn, m_browser, wxSize(300, 250));
    m_splitter->SetActivePane(0, kTreeColumn);
    // The source goes first and the browser second, so the stack of hidden
    // columns holds the source below the browser.
    m_splitter->HideColumn(kSourceColumn);
    m_splitter->HideColumn(kSourceColumn);

    m_treeStatus = new IndicatorStatusBar(this, {ID_INDICATOR_PATH});
    m_sourceStatus = new IndicatorStatusBar(this, {AFX_IDS_IDLEMESSAGE, ID_INDICATOR_POSITION, ID_INDICATOR_OVR,
                                                   ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL});
    m_sourceStatus->Hide();
    // A row of the errors pane leads into the source text, in Source mode, or
    // into the other file the error lies in.
    m_errors = new ValidationErrorsPane(this, [this](const ValidationErrorsModel::Place& place) {
        if (place.file.empty()) GoToText(place.line, place.column);
        else GoToFile(place.file, place.line, place.column);
    });
    m_errors->Hide();
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_splitter, 1, wxEXPAND);
    sizer->Add(m_errors, 0, wxEXPAND);
    sizer->Add(m_treeStatus, 0, wxEXPAND);
    sizer->Add(m_sourceStatus, 0, wxEXPAND);
    SetSizer(sizer);

    for (int id : {ID_VIEW_SOURCE, ID_VIEW_TREE, ID_VIEW_BROWSER}) {
        Bind(wxEVT_MENU, &CChildFrame::OnModeCommand, this, id);
        Bind(wxEVT_UPDATE_UI, &CChildFrame::OnUpdateModeCommand, this, id);
    }
    Bind(wxEVT_MENU, &CChildFrame::OnTransform, this, ID_TOOLS_TRANSFORM);
    Bind(wxEVT_UPDATE_UI, [this](wxUpdateUIEvent& event) { event.Enable(m_doc != nullptr); }, ID_TOOLS_TRANSFORM);
    Bind(wxEVT_ACTIVATE, &CChildFrame::OnActivate, this);
    Bind(wxEVT_IDLE, &CChildFrame::OnIdle, this);
    Bind(EVT_BRINDLE_VALIDATED, &CChildFrame::OnValidated, this);
    if (wxFrame* main = GetMDIParentFrame()) {
        wxCommandEvent sync(wxEVT_MENU, CMD_SYNC_VIEW_BUTTONS);
        main->GetEventHandler()->ProcessEvent(sync);
    }
}

wxWindow* CChildFrame::GetActiveView() const { return m_splitter ? m_splitter->GetActivePane() : nullptr; }

brindle::CEditView* CChildFrame::GetSourceEditor() const { return m_source; }

void CChildFrame::OnDetachDocument()
{
    m_source->DetachDocument();
    m_tree->DetachDocument();
    m_form->DetachDocument();
    m_browser->DetachDocument();
    m_doc = nullptr;
}

void CChildFrame::OnDocumentUpdate()
{
    if (!m_doc) return;
    // A document that opens in Source mode switches once its frame is up.
    if (m_doc->TakeShowAsSource()) CallAfter([this] { ShowSourceMode(); });
    // The tree and the list are hidden in Source mode and hold no nodes there;
    // they are built again on the way out.
    if (m_mode == ViewMode::Source) return;
    // The tree first: a rebuild there sets the node the list shows.
    m_tree->OnDocumentUpdate();
    m_form->OnDocumentUpdate();
}

void CChildFrame::PostViewMode(int command)
{
    if (wxFrame* main = GetMDIParentFrame()) {
        auto* event = new wxCommandEvent(EVT_BRINDLE_VIEW_MODE);
        event->SetInt(command);
        main->GetEventHandler()->QueueEvent(event);
    }
}

void CChildFrame::SendToActiveView(int command)
{
    if (wxWindow* view = GetActiveView()) {
        wxCommandEvent event(wxEVT_MENU, command);
        view->GetEventHandler()->ProcessEvent(event);
    }
}

void CChildFrame::FocusActiveView()
{
    if (wxWindow* view = GetActiveView()) view->SetFocus();
}

void CChildFrame::SwitchTo(ViewMode mode)
{
    {
        wxWindowUpdateLocker hidden(m_splitter);
        SwitchSplitter(*m_splitter, m_mode, mode);
    }
    m_treeStatus->Show(mode == ViewMode::Tree);
    m_sourceStatus->Show(mode == ViewMode::Source);
    m_mode = mode;
    Layout();
    FocusActiveView();
}

void CChildFrame::OnValidated(wxCommandEvent&)
{
    const auto& errors = m_source->GetLastErrors();
    if (!errors.empty() && m_doc) {
        const wxString path = m_doc->GetFilename().empty() ? m_doc->GetUserReadableName() : m_doc->GetFilename();
        m_errors->ShowErrors(errors, path.utf8_string());
    }
    if (m_errors->IsShown() != !errors.empty()) {
        m_errors->Show(!errors.empty());
        Layout();
    }
}

bool CChildFrame::LeaveSourceMode()
{
    const CBrindleDoc::SourceExit exit = m_doc->LeaveSourceMode();
    if (!exit.left) {
        PostViewMode(ID_VIEW_SOURCE); // the Source button stays checked
        if (exit.message.empty()) return false; // cancelled: nothing to tell
        brindle::UIServices().MessageBox(exit.message, brindle::MsgButtons::Ok, brindle::MsgIcon::Error);
        if (exit.markError) SendToActiveView(ID_TOOLS_VALIDATE);
        return false;
    }
    if (!exit.message.empty())
        brindle::UIServices().MessageBox(exit.message, brindle::MsgButtons::Ok, brindle::MsgIcon::Warning);
    return true;
}

bool CChildFrame::ShowText() { return m_mode == ViewMode::Source || ShowSourceMode(); }

bool CChildFrame::ShowSourceMode()
{
    if (!m_doc || m_mode == ViewMode::Source) return false;
    PostViewMode(ID_VIEW_SOURCE);
    const CBrindleDoc::SourceEntry entry = m_doc->EnterSourceMode();
    SwitchTo(ViewMode::Source);
    // Leaving Source mode replaces the tree: the hidden views let go of its
    // nodes, so that the old tree can be freed before the new one is built.
    m_tree->ReleaseNodes();
    m_form->ReleaseNodes();
    if (entry == CBrindleDoc::SourceEntry::HtmlAsText) m_source->SetStatusMessage("HTML document: edited as text.");
    else SendToActiveView(ID_TOOLS_VALIDATE);
    return true;
}

bool CChildFrame::ShowTreeMode()
{
    if (!m_doc || m_mode == ViewMode::Tree) return false;
    if (m_mode == ViewMode::Source && !LeaveSourceMode()) return false;
    SwitchTo(ViewMode::Tree);
    PostViewMode(ID_VIEW_TREE);
    m_doc->EnterTreeMode();
    return true;
}

bool CChildFrame::ShowBrowserMode()
{
    if (!m_doc || m_mode == ViewMode::Browser) return false;
    if (m_mode == ViewMode::Source && !LeaveSourceMode()) return false;
    PostViewMode(ID_VIEW_BROWSER);
    SwitchTo(ViewMode::Browser);
    m_browser->Activate(true);
    return true;
}

void CChildFrame::OnModeCommand(wxCommandEvent& event)
{
    switch (event.GetId()) {
    case ID_VIEW_SOURCE: ShowSourceMode(); break;
    case ID_VIEW_TREE: ShowTreeMode(); break;
    case ID_VIEW_BROWSER: ShowBrowserMode(); break;
    default: event.Skip(); break;
    }
}

void CChildFrame::OnUpdateModeCommand(wxUpdateUIEvent& event)
{
    event.Enable(true);
    event.Check(event.GetId() == CommandOfMode(m_mode));
}

void CChildFrame::TransformDocument()
{
    if (!m_doc) return;
    CTransformDlg dialog(this);
    dialog.xslFile = ProposeStylesheet(m_doc->GetDomDocument());
    if (dialog.ShowModal() != wxID_OK) return;
    const std::string xsl = ResolveStylesheetPath(dialog.xslFile, m_doc->GetFilename().utf8_string());
    ::TransformDocument(
        m_doc->GetDomDocument(), dialog.outputFile, xsl, dialog.openAfter,
        [](const std::string& path) {
            if (wxDocManager* manager = wxDocManager::GetDocumentManager()) manager->CreateDocument(wxString::FromUTF8(path));
        },
        m_doc->Errors());
    m_doc->Errors().Tell();
}

void CChildFrame::OnTransform(wxCommandEvent&) { TransformDocument(); }

void CChildFrame::OnActivate(wxActivateEvent& event)
{
    // The view toolbar shows the active document's mode, and its active view
    // takes the keyboard.
    if (event.GetActive()) {
        PostViewMode(CommandOfMode(m_mode));
        if (m_mode == ViewMode::Browser) m_browser->Activate(false);
        CallAfter([this] { FocusActiveView(); });
    }
    event.Skip();
}

void CChildFrame::OnIdle(wxIdleEvent& event)
{
    event.Skip();
    if (!m_doc) return;
    // A save or regeneration that could not keep the file's own text says so
    // until the selection moves on.
    if (std::string note = m_doc->TakeStatusNote(); !note.empty()) {
        m_statusNotePath = m_tree->GetStatusPath();
        if (m_sourceStatus->IsShown()) m_source->SetStatusMessage(note);
        m_statusNote = std::move(note);
    }
    if (!m_statusNote.empty() && m_tree->GetStatusPath() != m_statusNotePath) m_statusNote.clear();
    if (m_treeStatus->IsShown())
        m_treeStatus->UpdatePanes(nullptr, m_statusNote.empty() ? m_tree->GetStatusPath() : m_statusNote);
    if (m_sourceStatus->IsShown()) m_sourceStatus->UpdatePanes(m_source, m_source->GetStatusMessage());
}
