#include "app/shell/BrindleDocTemplate.h"

#include "app/document/BrindleDocBase.h"
#include "app/settings/Settings.h"
#include "platform/ui/UIServices.h"
#include "resources/Strings.h"

using namespace brindle;

namespace {

// "*.xml;*.xsl" from ".xml;.xsl;": the file dialog's filter of a kind.
wxString FilterFromExtensions(const std::string& exts)
{
    wxString filter;
    for (const auto& ext : wxSplit(wxString::FromUTF8(exts), ';', '\0')) {
        if (ext.empty()) continue;
        if (!filter.empty()) filter += ";";
        filter += "*" + ext;
    }
    return filter;
}

// Closes the document's views, which destroys its frame and the document.
void DestroyDocument(wxDocument* doc)
{
    doc->Modify(false);
    doc->DeleteAllViews();
}

} // namespace

CBrindleDocTemplate::CBrindleDocTemplate(wxDocManager* manager, int resourceId, const std::string& docString,
                                         DocumentFactory makeDocument, DocumentView::FrameMaker makeFrame)
    : wxDocTemplate(manager, wxString::FromUTF8(DocStringField(docString, 3)),
                    FilterFromExtensions(DocStringField(docString, 4)), wxEmptyString,
                    wxString::FromUTF8(DocStringField(docString, 4)).AfterFirst('.').BeforeFirst(';'),
                    wxString::FromUTF8(DocStringField(docString, 1)), wxString::FromUTF8(DocStringField(docString, 1))),
      m_resourceId(resourceId), m_docString(docString), m_makeDocument(std::move(makeDocument)),
      m_makeFrame(std::move(makeFrame))
{
}

wxDocument* CBrindleDocTemplate::DoCreateDocument() { return m_makeDocument(); }

wxView* CBrindleDocTemplate::DoCreateView() { return new DocumentView(m_makeFrame); }

DocTypeMatch CBrindleDocTemplate::MatchDocType(const std::string& path, wxDocument** alreadyOpen) const
{
    std::vector<std::string> openPaths;
    std::vector<wxDocument*> openDocs;
    for (auto* doc : GetDocumentManager()->GetDocumentsVector()) {
        if (doc->GetDocumentTemplate() != this) continue;
        openPaths.push_back(doc->GetFilename().utf8_string());
        openDocs.push_back(doc);
    }
    DocTypeMatch match = MatchDocTypeByPath(openPaths, GetDocString(4), path);
    if (alreadyOpen && match.confidence == MatchConfidence::AlreadyOpen)
        *alreadyOpen = openDocs[static_cast<size_t>(match.openIndex)];
    return match;
}

wxDocument* CBrindleDocTemplate::OpenDocumentFile(const wxString& path, bool makeVisible)
{
    wxDocument* doc = DoCreateDocument();
    if (!doc) {
        UIServices().MessageBox(strings::kFailedToCreateDoc, MsgButtons::Ok, MsgIcon::Error);
        return nullptr;
    }
    doc->SetDocumentTemplate(this);
    GetDocumentManager()->AddDocument(doc);
    doc->SetCommandProcessor(doc->OnCreateCommandProcessor());
    // Creating the view creates the document's frame: for a file only once it has
    // opened, so a file that does not open leaves no empty window behind.
    const auto createView = [&]() {
        if (doc->OnCreate(path, path.empty() ? wxDOC_NEW : 0)) return true;
        // A failed first view may already have taken the document with it.
        if (GetDocumentManager()->GetDocuments().Member(doc)) DestroyDocument(doc);
        UIServices().MessageBox(strings::kFailedToCreateDoc, MsgButtons::Ok, MsgIcon::Error);
        return false;
    };
    auto* base = dynamic_cast<CBrindleDocBase*>(doc);

    if (path.empty() || m_useTemplateFile) {
        if (base) base->SetEmbedded(!makeVisible);
        if (m_useTemplateFile) {
            // The template opens as a file does, before any window: one that cannot
            // be read leaves no empty document behind, one that does not parse
            // shows in Source mode with the reason.
            WaitCursor wait;
            const wxString templateFile = wxString::FromUTF8(m_templateFilePath);
            const bool opened = doc->OnOpenDocument(templateFile);
            if (opened && base) base->HoldTextOf(templateFile);
            if (base) base->Errors().Tell();
            if (!opened) {
                DestroyDocument(doc);
                return nullptr;
            }
            if (!createView()) return nullptr;
            doc->SetTitle(GetDocumentManager()->MakeNewDocumentName());
            doc->Modify(true);
        } else {
            if (!createView()) return nullptr;
            doc->SetTitle(GetDocumentManager()->MakeNewDocumentName());
            const bool made = doc->OnNewDocument();
            if (base) base->Errors().Tell();
            if (!made) {
                DestroyDocument(doc);
                return nullptr;
            }
        }
        wxString name = path.empty() ? wxString::FromUTF8(m_newDocPath) : path;
        if (name.empty()) {
            // Only generated names count.
            name = wxString::FromUTF8(UntitledPath(Settings::GetWorkingPath(), ++m_untitledCount));
        }
        // A document that was never saved enters the recent files when it is.
        if (base) base->SetPathName(name, false);
        else doc->SetFilename(name, true);
    } else {
        WaitCursor wait;
        const bool opened = doc->OnOpenDocument(path);
        if (base) base->Errors().Tell(); // why it failed, or what to warn of
        if (!opened) {
            DestroyDocument(doc);
            return nullptr;
        }
        if (!createView()) return nullptr;
        if (base) base->SetPathName(path, true);
        else doc->SetFilename(path, true);
    }

    if (wxView* view = doc->GetFirstView()) {
        if (wxWindow* frame = view->GetFrame()) {
            view->OnUpdate(nullptr, nullptr);
            if (makeVisible) {
                frame->Show();
                view->Activate(true);
            }
        }
    }
    return doc;
}
