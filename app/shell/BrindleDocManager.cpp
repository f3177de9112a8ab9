#include "app/shell/BrindleDocManager.h"

#include "app/document/RemoteLocation.h"
#include "app/settings/Settings.h"
#include "app/shell/BrindleDocTemplate.h"
#include "app/shell/NewDocDlg.h"
#include "platform/ui/UIServices.h"
#include "resources/CommandIds.h"
#include "resources/Strings.h"

#include <wx/filedlg.h>

using namespace brindle;
using namespace ids;

CBrindleDocManager::CBrindleDocManager()
{
    Bind(wxEVT_MENU, &CBrindleDocManager::OnNew, this, ID_FILE_NEW);
    Bind(wxEVT_MENU, &CBrindleDocManager::OnOpen, this, ID_FILE_OPEN);
    Bind(wxEVT_MENU, &CBrindleDocManager::OnClose, this, ID_FILE_CLOSE);
    Bind(wxEVT_MENU, &CBrindleDocManager::OnSave, this, ID_FILE_SAVE);
    Bind(wxEVT_MENU, &CBrindleDocManager::OnSaveAs, this, ID_FILE_SAVE_AS);
    Bind(wxEVT_UPDATE_UI, &CBrindleDocManager::OnUpdateNeedsDocument, this, ID_FILE_CLOSE);
    Bind(wxEVT_UPDATE_UI, &CBrindleDocManager::OnUpdateNeedsDocument, this, ID_FILE_SAVE_AS);
    Bind(wxEVT_UPDATE_UI, &CBrindleDocManager::OnUpdateSave, this, ID_FILE_SAVE);
}

std::vector<CBrindleDocTemplate*> CBrindleDocManager::Templates() const
{
    std::vector<CBrindleDocTemplate*> out;
    for (auto* node = m_templates.GetFirst(); node; node = node->GetNext())
        if (auto* t = dynamic_cast<CBrindleDocTemplate*>(static_cast<wxDocTemplate*>(node->GetData()))) out.push_back(t);
    return out;
}

CBrindleDocTemplate* CBrindleDocManager::DefaultTemplate() const
{
    auto templates = Templates();
    std::vector<std::string> exts;
    for (auto* t : templates) exts.push_back(t->GetDocString(4));
    int index = DefaultDocKind(exts);
    return index < 0 ? nullptr : templates[static_cast<size_t>(index)];
}

wxDocument* CBrindleDocManager::OpenDocumentFile(const wxString& rawPath)
{
    const std::string path = NormalizeOpenPath(rawPath.utf8_string());
    // Open documents are named without the password their address may carry.
    const std::string shown = AddressWithoutPassword(path);
    CBrindleDocTemplate* chosen = nullptr;
    wxDocument* alreadyOpen = nullptr;
    for (auto* t : Templates()) {
        DocTypeMatch match = t->MatchDocType(shown, &alreadyOpen);
        if (alreadyOpen) break;
        if (match.confidence == MatchConfidence::MaybeNative) chosen = t;
    }
    if (alreadyOpen) {
        if (wxView* view = alreadyOpen->GetFirstView()) {
            if (auto* frame = wxDynamicCast(view->GetFrame(), wxAuiMDIChildFrame)) frame->Activate();
            if (wxWindow* top = wxGetTopLevelParent(view->GetFrame())) top->Raise();
        }
        return alreadyOpen;
    }
    if (!chosen) chosen = DefaultTemplate();
    if (!chosen) {
        UIServices().MessageBox(strings::kFailedToOpenDoc, MsgButtons::Ok, MsgIcon::Error);
        return nullptr;
    }
    return chosen->OpenDocumentFile(wxString::FromUTF8(path), true);
}

wxDocument* CBrindleDocManager::NewDocument()
{
    CBrindleDocTemplate* kind = DefaultTemplate();
    return kind ? CreateNewDocument(*kind, {}, {}) : nullptr;
}

wxDocument* CBrindleDocManager::FileNew()
{
    const auto kinds = Templates();
    if (kinds.empty()) {
        UIServices().MessageBox(strings::kFailedToCreateDoc, MsgButtons::Ok, MsgIcon::Error);
        return nullptr;
    }
    if (kinds.size() == 1) return CreateNewDocument(*kinds.front(), {}, {});
    std::vector<NewDocKind> offered;
    for (auto* kind : kinds) offered.push_back({kind->GetDocString(6), kind->GetDocString(4)});
    CNewDocTypeDlg dialog(wxTheApp->GetTopWindow(), offered, Settings::GetTemplatePath(), Settings::GetWorkingPath());
    if (dialog.ShowModal() != wxID_OK) return nullptr;
    const NewDocItem* chosen = dialog.Page().Chosen();
    if (!chosen) return nullptr;
    return CreateNewDocument(*kinds[static_cast<std::size_t>(chosen->kind)], chosen->templatePath,
                             dialog.Page().FullPath());
}

wxDocument* CBrindleDocManager::CreateNewDocument(CBrindleDocTemplate& kind, const std::string& templateFile,
                                                  const std::string& path)
{
    kind.m_useTemplateFile = templateFile.empty() ? 0 : 1;
    kind.m_templateFilePath = templateFile;
    kind.m_newDocPath = path;
    wxDocument* doc = kind.OpenDocumentFile(wxEmptyString, true);
    kind.m_useTemplateFile = 0;
    kind.m_templateFilePath.clear();
    kind.m_newDocPath.clear();
    return doc;
}

wxDocument* CBrindleDocManager::CreateDocument(const wxString& path, long flags)
{
    // Every way of opening (the file dialog, recent files, the command line) comes
    // through here.
    if ((flags & wxDOC_NEW) || path.empty()) return NewDocument();
    return OpenDocumentFile(path);
}

void CBrindleDocManager::AddFileToHistory(const wxString& file)
{
    if (m_recentKept > 0) return;
    m_recentFiles.Add(file.utf8_string());
    m_recentFiles.WriteList();
    if (m_recentChanged) m_recentChanged();
}

void CBrindleDocManager::OnNew(wxCommandEvent&) { FileNew(); }

void CBrindleDocManager::OnOpen(wxCommandEvent&)
{
    wxString filter;
    for (auto* t : Templates()) filter += t->GetDescription() + "|" + t->GetFileFilter() + "|";
    filter += "All Files (*.*)|*";
    wxFileDialog dialog(wxTheApp->GetTopWindow(), "Open", wxEmptyString, wxEmptyString, filter,
                        wxFD_OPEN | wxFD_FILE_MUST_EXIST | wxFD_MULTIPLE);
    if (dialog.ShowModal() != wxID_OK) return;
    wxArrayString paths;
    dialog.GetPaths(paths);
    for (const auto& path : paths) OpenDocumentFile(path);
}

void CBrindleDocManager::OnClose(wxCommandEvent& event) { OnFileClose(event); }

void CBrindleDocManager::OnSave(wxCommandEvent& event) { OnFileSave(event); }

void CBrindleDocManager::OnSaveAs(wxCommandEvent& event) { OnFileSaveAs(event); }

void CBrindleDocManager::OnUpdateNeedsDocument(wxUpdateUIEvent& event) { event.Enable(GetCurrentDocument() != nullptr); }

void CBrindleDocManager::OnUpdateSave(wxUpdateUIEvent& event)
{
    wxDocument* doc = GetCurrentDocument();
    event.Enable(doc && doc->IsModified());
}
