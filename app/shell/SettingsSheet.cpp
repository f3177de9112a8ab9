#include "app/shell/SettingsSheet.h"

#include "app/document/UserCatalog.h"
#include "app/settings/Settings.h"
#include "app/shell/LocationDlg.h"
#include "platform/ui/UIServices.h"

#include <functional>
#include <vector>
#include <wx/bookctrl.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/filedlg.h>
#include <wx/choice.h>
#include <wx/panel.h>
#include <wx/propdlg.h>
#include <wx/spinctrl.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace {

// One page: builds its controls, loads them from the settings when first shown
// and stores them on OK if it was shown.
struct Page {
    wxPanel* panel = nullptr;
    bool shown = false;
    std::function<void()> load;
    std::function<void()> store;
};

wxCheckBox* AddCheck(wxPanel* panel, wxSizer* sizer, int id, const char* text)
{
    auto* box = new wxCheckBox(panel, id, text);
    sizer->Add(box, 0, wxALL, 6);
    return box;
}

// A field with its "..." button, which sets it to what pick returns (when not
// empty) for the field's current value.
using Pick = std::function<wxString(wxWindow* parent, const wxString& current)>;
wxTextCtrl* AddPickerRow(wxPanel* panel, wxSizer* sizer, const char* label, int fieldId, int buttonId, Pick pick)
{
    sizer->Add(new wxStaticText(panel, wxID_ANY, label), 0, wxLEFT | wxRIGHT | wxTOP, 6);
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    auto* field = new wxTextCtrl(panel, fieldId);
    auto* button = new wxButton(panel, buttonId, "...", wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
    row->Add(field, 1, wxRIGHT, 4);
    row->Add(button, 0);
    sizer->Add(row, 0, wxEXPAND | wxALL, 6);
    button->Bind(wxEVT_BUTTON, [panel, field, pick](wxCommandEvent&) {
        const wxString picked = pick(panel, field->GetValue());
        if (!picked.empty()) field->ChangeValue(picked);
    });
    return field;
}

wxString PickCatalogFile(wxWindow* parent, const wxString& current)
{
    wxFileDialog picker(parent, "User catalog file", wxEmptyString, current,
                        "XML catalogs (*.xml;*.cat)|*.xml;*.cat|All files (*)|*", wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    return picker.ShowModal() == wxID_OK ? picker.GetPath() : wxString();
}

Page MakeParserPage(wxWindow* book)
{
    Page page;
    page.panel = new wxPanel(book, 153);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    auto* validate = AddCheck(page.panel, sizer, 1005, "Validate documents on load");
    auto* resolve = AddCheck(page.panel, sizer, 1006, "Resolve externals");
    auto* xpath = AddCheck(page.panel, sizer, 1007, "Enable XPATH");
    auto* xinclude = AddCheck(page.panel, sizer, 1010, "Process XInclude in Validate and Transform");
    auto* catalog = AddPickerRow(page.panel, sizer, "User catalog file (asked before the system catalog)", 1011, 1012,
                                 PickCatalogFile);
    sizer->Add(new wxStaticText(page.panel, wxID_ANY, "Parser COM App ID"), 0, wxLEFT | wxRIGHT | wxTOP, 6);
    auto* appId = new wxTextCtrl(page.panel, 1000);
    sizer->Add(appId, 0, wxEXPAND | wxALL, 6);
    page.panel->SetSizer(sizer);
    page.load = [=] {
        validate->SetValue(Settings::GetValidateOnParse() != 0);
        resolve->SetValue(Settings::GetResolveExternals() != 0);
        xpath->SetValue(Settings::GetUseXPath() != 0);
        xinclude->SetValue(Settings::GetProcessXIncludes() != 0);
        catalog->ChangeValue(wxString::FromUTF8(Settings::GetUserCatalog()));
        appId->ChangeValue(wxString::FromUTF8(Settings::GetParserAppId()));
    };
    page.store = [=] {
        Settings::WriteInt(Settings::Key::kValidateOnParse, validate->GetValue() ? 1 : 0);
        Settings::WriteInt(Settings::Key::kResolveExternals, resolve->GetValue() ? 1 : 0);
        Settings::WriteInt(Settings::Key::kUseXPath, xpath->GetValue() ? 1 : 0);
        Settings::WriteInt(Settings::Key::kProcessXIncludes, xinclude->GetValue() ? 1 : 0);
        Settings::WriteString(Settings::Key::kUserCatalog, catalog->GetValue().utf8_string());
        // The file named is kept even when it cannot be used, so it can be mended.
        if (std::string fault = ApplyUserCatalog(); !fault.empty())
            brindle::UIServices().MessageBox(fault, brindle::MsgButtons::Ok, brindle::MsgIcon::Warning);
        Settings::WriteParserAppId(appId->GetValue().utf8_string());
    };
    return page;
}

Page MakeDisplayPage(wxWindow* book)
{
    Page page;
    page.panel = new wxPanel(book, 154);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    auto* navBar = AddCheck(page.panel, sizer, 1005, "Display file browser on startup");
    auto* source = AddCheck(page.panel, sizer, 1006, "Always start with Source View");
    // Beside it, the size from which documents open as text only.
    auto* largeRow = new wxBoxSizer(wxHORIZONTAL);
    largeRow->Add(new wxStaticText(page.panel, wxID_ANY, "Open files larger than"), 0, wxALIGN_CENTER_VERTICAL);
    auto* largeMB = new wxSpinCtrl(page.panel, 1009, wxEmptyString, wxDefaultPosition, wxDefaultSize, wxSP_ARROW_KEYS,
                                   0, 1 << 20, 200);
    largeRow->Add(largeMB, 0, wxLEFT | wxRIGHT, 6);
    largeRow->Add(new wxStaticText(page.panel, wxID_ANY, "MB as text only, in Source View"), 0,
                  wxALIGN_CENTER_VERTICAL);
    sizer->Add(largeRow, 0, wxLEFT | wxRIGHT | wxBOTTOM, 6);
    auto* types = AddCheck(page.panel, sizer, 1007, "Display open file types dialog at startup");
    auto* ownText = AddCheck(page.panel, sizer, 1008, "Keep the document's own text until the tree changes it");
    auto* lineNumbers = AddCheck(page.panel, sizer, wxID_ANY, "Show line numbers");
    auto* folding = AddCheck(page.panel, sizer, wxID_ANY, "Fold elements, comments and CDATA sections");
    auto* xmlColouring = AddCheck(page.panel, sizer, 1030, "XML colouring in Source View");
    page.panel->SetSizer(sizer);
    page.load = [=] {
        navBar->SetValue(Settings::GetDisplayNavBar() != 0);
        source->SetValue(Settings::GetStartWithSourceView() != 0);
        largeMB->SetValue(Settings::GetLargeFileMB());
        types->SetValue(Settings::GetDisplayFileTypesDlg() != 0);
        ownText->SetValue(Settings::GetKeepOwnText() != 0);
        lineNumbers->SetValue(Settings::GetShowLineNumbers() != 0);
        folding->SetValue(Settings::GetEnableFolding() != 0);
        xmlColouring->SetValue(Settings::GetXmlColouring() != 0);
    };
    page.store = [=] {
        Settings::WriteInt(Settings::Key::kDisplayNavBar, navBar->GetValue() ? 1 : 0);
        Settings::WriteInt(Settings::Key::kStartWithSourceView, source->GetValue() ? 1 : 0);
        Settings::WriteInt(Settings::Key::kLargeFileMB, largeMB->GetValue());
        Settings::WriteInt(Settings::Key::kDisplayFileTypesDlg, types->GetValue() ? 1 : 0);
        Settings::WriteInt(Settings::Key::kKeepOwnText, ownText->GetValue() ? 1 : 0);
        Settings::WriteInt(Settings::Key::kShowLineNumbers, lineNumbers->GetValue() ? 1 : 0);
        Settings::WriteInt(Settings::Key::kEnableFolding, folding->GetValue() ? 1 : 0);
        Settings::WriteInt(Settings::Key::kXmlColouring, xmlColouring->GetValue() ? 1 : 0);
    };
    return page;
}

// A folder field with its "..." button, which picks a folder for it.
wxTextCtrl* AddFolderRow(wxPanel* panel, wxSizer* sizer, const char* label, int fieldId, int buttonId)
{
    return AddPickerRow(panel, sizer, label, fieldId, buttonId, [](wxWindow* parent, const wxString& current) {
        CLocationDlg picker(parent, current.utf8_string());
        return picker.ShowModal() == wxID_OK ? wxString::FromUTF8(picker.GetPath().string()) : wxString();
    });
}

Page MakeFilePage(wxWindow* book)
{
    Page page;
    page.panel = new wxPanel(book, 8603);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    auto* templates = AddFolderRow(page.panel, sizer, "Template directory:", 1004, 1018);
    auto* working = AddFolderRow(page.panel, sizer, "Default working directory:", 1002, 1016);
    auto* scripts = AddFolderRow(page.panel, sizer, "Script directory:", 1003, 1017);
    // Shown for information only; these have no effect.
    sizer->Add(new wxStaticText(page.panel, wxID_ANY, "XML Documents file extensions:"), 0, wxLEFT | wxTOP, 6);
    sizer->Add(new wxTextCtrl(page.panel, 1000, ".xml;.xsl;.xsd;.xdr"), 0, wxEXPAND | wxALL, 6);
    sizer->Add(new wxStaticText(page.panel, wxID_ANY, "Document Type Definition (DTD) file extensions:"), 0,
               wxLEFT | wxTOP, 6);
    sizer->Add(new wxTextCtrl(page.panel, 1001, ".dtd"), 0, wxEXPAND | wxALL, 6);
    sizer->Add(new wxStaticText(page.panel, wxID_ANY, "Save file format"), 0, wxLEFT | wxTOP, 6);
    const wxString formats[] = {"DOS", "Unix", "Machintosh"};
    auto* format = new wxChoice(page.panel, 1042, wxDefaultPosition, wxDefaultSize, 3, formats);
    format->SetSelection(0);
    sizer->Add(format, 0, wxALL, 6);
    for (int id : {1000, 1001, 1042}) page.panel->FindWindow(id)->Disable();
    page.panel->SetSizer(sizer);
    page.load = [=] {
        templates->ChangeValue(wxString::FromUTF8(Settings::GetTemplatePath()));
        working->ChangeValue(wxString::FromUTF8(Settings::GetWorkingPath()));
        scripts->ChangeValue(wxString::FromUTF8(Settings::GetScriptPath()));
    };
    page.store = [=] {
        Settings::WriteString(Settings::Key::kTemplatePath, templates->GetValue().utf8_string());
        Settings::WriteString(Settings::Key::kWorkingPath, working->GetValue().utf8_string());
        Settings::WriteString(Settings::Key::kScriptPath, scripts->GetValue().utf8_string());
    };
    return page;
}

} // namespace

bool RunSettingsSheet(wxWindow* parent)
{
    wxPropertySheetDialog sheet(parent, wxID_ANY, "Settings");
    sheet.CreateButtons(wxOK | wxCANCEL);
    wxBookCtrlBase* book = sheet.GetBookCtrl();

    std::vector<Page> pages = {MakeParserPage(book), MakeDisplayPage(book), MakeFilePage(book)};
    pages.push_back({new wxPanel(book, 221), false, [] {}, [] {}}); // "Edit": no controls
    const char* titles[] = {"Parser", "Display", "File", "Edit"};
    for (size_t i = 0; i < pages.size(); ++i) book->AddPage(pages[i].panel, titles[i]);

    auto show = [&pages](size_t index) {
        if (index >= pages.size() || pages[index].shown) return;
        pages[index].shown = true;
        pages[index].load();
    };
    show(0);
    book->Bind(wxEVT_BOOKCTRL_PAGE_CHANGED, [&](wxBookCtrlEvent& event) {
        show(static_cast<size_t>(event.GetSelection()));
        event.Skip();
    });
    sheet.LayoutDialog();
    if (sheet.ShowModal() != wxID_OK) return false;
    for (auto& page : pages)
        if (page.shown) page.store();
    return true;
}
