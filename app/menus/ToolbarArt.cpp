#include "app/menus/ToolbarArt.h"

#include "app/menus/SvgPicture.h"
#include "resources/CommandIds.h"
#include "generated/AppIconSvg.h"

#include <map>
#include <string>

namespace {

// 16x16 pictures; strokes are kept on half pixels so they stay crisp at 1x.
const std::map<int, std::string>& Pictures()
{
    static const std::map<int, std::string> pictures = {
        {ids::ID_FILE_NEW, R"(<path d="M3.5 1.5h6l3 3v10h-9z" fill="#fff" stroke="#4a4a4a"/><path d="M9.5 1.5v3h3" fill="none" stroke="#4a4a4a"/><path d="M12 10.5h4M14 8.5v4" stroke="#2e8b3a" stroke-width="1.6"/>)"},
        {ids::ID_FILE_OPEN, R"(<path d="M1.5 3.5h4l1 1.5h7v8.5h-12z" fill="#f1c453" stroke="#8a6a1c"/><path d="M1.5 13.5l2.5-6h11.5l-2 6z" fill="#f7d97e" stroke="#8a6a1c"/>)"},
        {ids::ID_FILE_SAVE, R"(<path d="M1.5 1.5h11l2 2v11h-13z" fill="#3b6fb0" stroke="#1f3f66"/><rect x="4" y="2" width="7" height="4.5" fill="#fff"/><rect x="8.5" y="2.8" width="1.5" height="3" fill="#3b6fb0"/><rect x="3.5" y="9" width="9" height="5" fill="#e6e6e6"/>)"},
        {ids::ID_EDIT_CUT, R"(<circle cx="4.5" cy="12" r="2.3" fill="none" stroke="#333" stroke-width="1.3"/><circle cx="11.5" cy="12" r="2.3" fill="none" stroke="#333" stroke-width="1.3"/><path d="M6 10.3L11.5 1.5M10 10.3L4.5 1.5" stroke="#555" stroke-width="1.3"/>)"},
        {ids::ID_EDIT_COPY, R"(<path d="M1.5 1.5h6l2 2v7.5h-8z" fill="#fff" stroke="#4a4a4a"/><path d="M6.5 5.5h6l2 2v7h-8z" fill="#fff" stroke="#4a4a4a"/><path d="M8 9h5M8 11h5M8 13h4" stroke="#7a9cc6"/>)"},
        {ids::ID_EDIT_PASTE, R"(<rect x="2.5" y="2.5" width="10" height="12" rx="1" fill="#c99a5b" stroke="#6b4a1f"/><rect x="5" y="1" width="5" height="3" rx="0.8" fill="#ddd" stroke="#555"/><path d="M7.5 6.5h6v8h-6z" fill="#fff" stroke="#4a4a4a"/>)"},
        {ids::ID_FILE_PRINT, R"(<rect x="4.5" y="1.5" width="7" height="5" fill="#fff" stroke="#4a4a4a"/><rect x="1.5" y="6.5" width="13" height="6" rx="1" fill="#9aa3ad" stroke="#4a4a4a"/><rect x="4.5" y="10.5" width="7" height="4" fill="#fff" stroke="#4a4a4a"/><circle cx="12.5" cy="8.5" r="0.8" fill="#2e8b3a"/>)"},
        {ids::ID_EDIT_UNDO, R"(<path d="M5 4.5h5.5a4 4 0 0 1 0 8H6" fill="none" stroke="#2d5fa0" stroke-width="1.8"/><path d="M1.5 4.5L6 1v7z" fill="#2d5fa0"/>)"},
        {ids::ID_EDIT_REDO, R"(<path d="M11 4.5H5.5a4 4 0 0 0 0 8H10" fill="none" stroke="#2d5fa0" stroke-width="1.8"/><path d="M14.5 4.5L10 1v7z" fill="#2d5fa0"/>)"},
        {ids::ID_EDIT_FIND, R"(<circle cx="6.5" cy="6.5" r="4.2" fill="#e8f1fb" stroke="#333" stroke-width="1.5"/><path d="M9.6 9.6l4.9 4.9" stroke="#333" stroke-width="2.2"/>)"},
        {ids::ID_EDIT_FIND_TOOLBAR, R"(<circle cx="5.5" cy="5.5" r="3.8" fill="#e8f1fb" stroke="#333" stroke-width="1.4"/><path d="M8.3 8.3l3 3" stroke="#333" stroke-width="2"/><path d="M10 13.5h4.5M12.5 11l2.5 2.5-2.5 2.5" fill="none" stroke="#2e8b3a" stroke-width="1.4"/>)"},
        {ids::ID_EDIT_REPLACE, R"(<rect x="1.5" y="1.5" width="6" height="5" fill="#fbe3a8" stroke="#8a6a1c"/><rect x="8.5" y="9.5" width="6" height="5" fill="#cfe6c9" stroke="#2e6b34"/><path d="M4.5 7.5v4h3M6 10l1.8 1.5L6 13" fill="none" stroke="#333" stroke-width="1.2"/>)"},
        {ids::ID_VIEW_FILE_BROWSER, R"(<path d="M1.5 2.5h3l1 1h4v3h-8z" fill="#f1c453" stroke="#8a6a1c"/><path d="M3 6.5v6h3.5M3 9.5h3.5" fill="none" stroke="#666"/><path d="M7.5 8h3l1 1h3v2.5h-7zM7.5 11.5h3l1 1h3v2h-7z" fill="#f7d97e" stroke="#8a6a1c"/>)"},
        {ids::ID_NODE_CHILD, R"(<rect x="1.5" y="1.5" width="7" height="5" fill="#cfe0f5" stroke="#2d5fa0"/><path d="M4.5 6.5v5.5h3" fill="none" stroke="#555"/><rect x="7.5" y="9.5" width="7" height="5" fill="#cfe6c9" stroke="#2e6b34"/><path d="M11 10.5v3M9.5 12h3" stroke="#2e6b34"/>)"},
        {ids::ID_NODE_SIBLING, R"(<path d="M2.5 1v14" stroke="#555"/><path d="M2.5 4h2M2.5 12h2" stroke="#555"/><rect x="4.5" y="1.5" width="9" height="5" fill="#cfe0f5" stroke="#2d5fa0"/><rect x="4.5" y="9.5" width="9" height="5" fill="#cfe6c9" stroke="#2e6b34"/><path d="M9 10.5v3M7.5 12h3" stroke="#2e6b34"/>)"},
        {ids::ID_VIEW_SOURCE, R"(<rect x="0.5" y="1.5" width="15" height="13" rx="1" fill="#fff" stroke="#4a4a4a"/><path d="M5.5 5L2.5 8l3 3M10.5 5l3 3-3 3" fill="none" stroke="#2d5fa0" stroke-width="1.5"/><path d="M9 4.5L7 11.5" stroke="#b03a2e" stroke-width="1.3"/>)"},
        {ids::ID_VIEW_TREE, R"(<rect x="1.5" y="1.5" width="5" height="3" fill="#cfe0f5" stroke="#2d5fa0"/><path d="M4 4.5v9M4 8h4M4 13h4" fill="none" stroke="#555"/><rect x="8.5" y="6.5" width="6" height="3" fill="#cfe6c9" stroke="#2e6b34"/><rect x="8.5" y="11.5" width="6" height="3" fill="#cfe6c9" stroke="#2e6b34"/>)"},
        {ids::ID_VIEW_BROWSER, R"(<circle cx="8" cy="8" r="6.5" fill="#cfe6f7" stroke="#2d5fa0"/><path d="M1.5 8h13M8 1.5c-3 3.5-3 9.5 0 13M8 1.5c3 3.5 3 9.5 0 13" fill="none" stroke="#2d5fa0"/>)"},
        {ids::ID_TOOLS_VALIDATE, R"(<path d="M3.5 1.5h6l3 3v10h-9z" fill="#fff" stroke="#4a4a4a"/><path d="M5 9l2.2 2.5L13.5 4" fill="none" stroke="#2e8b3a" stroke-width="2"/>)"},
        {ids::ID_TOOLS_TRANSFORM, R"(<path d="M1.5 2.5h5v7h-5z" fill="#fff" stroke="#4a4a4a"/><path d="M9.5 6.5h5v7h-5z" fill="#cfe6c9" stroke="#2e6b34"/><path d="M4 11v2.5h4.5M7 12l1.6 1.5L7 15M12 5V2.5H7.5M9 4L7.4 2.5 9 1" fill="none" stroke="#b0601e" stroke-width="1.2"/>)"},
        {ids::ID_TOOLS_AUTO_FORMAT, R"(<path d="M1.5 2.5h9M4.5 5.5h9M4.5 8.5h7M7.5 11.5h7M1.5 14.5h9" stroke="#2d5fa0" stroke-width="1.5"/>)"},
        {ids::ID_APP_ABOUT, R"(<circle cx="8" cy="8" r="6.5" fill="#2d5fa0"/><rect x="7" y="7" width="2" height="5" fill="#fff"/><circle cx="8" cy="4.8" r="1.1" fill="#fff"/>)"},
    };
    return pictures;
}

} // namespace

bool HasToolbarImage(int commandId) { return Pictures().count(commandId) != 0; }

std::vector<int> CommandsWithImages()
{
    std::vector<int> ids;
    for (const auto& [id, picture] : Pictures()) ids.push_back(id);
    return ids;
}

const std::vector<ToolDef>& ToolbarTools(int toolbarId)
{
    using namespace ids;
    static const std::vector<ToolDef> mainTools = {
        {ID_FILE_NEW, "New"}, {ID_FILE_OPEN, "Open"}, {ID_FILE_SAVE, "Save"}, {0, ""},
        {ID_EDIT_CUT, "Cut"}, {ID_EDIT_COPY, "Copy"}, {ID_EDIT_PASTE, "Paste"}, {0, ""},
        {ID_FILE_PRINT, "Print"}, {0, ""},
        {ID_EDIT_UNDO, "Undo"}, {ID_EDIT_REDO, "Redo"}, {0, ""},
        {ID_EDIT_FIND, "Find"}, {ID_EDIT_FIND_TOOLBAR, "Find Next"}, {ID_EDIT_REPLACE, "Replace"}, {0, ""},
        {ID_VIEW_FILE_BROWSER, "File Browser", true}, {0, ""},
        {ID_NODE_CHILD, "Child Node"}, {0, ""},
        {ID_NODE_SIBLING, "Sibling Node"},
    };
    static const std::vector<ToolDef> viewTools = {
        {ID_VIEW_SOURCE, "Source View", true}, {ID_VIEW_TREE, "Node Tree", true}, {ID_VIEW_BROWSER, "Browser View", true},
        {0, ""},
        {ID_TOOLS_VALIDATE, "Validate"}, {ID_TOOLS_TRANSFORM, "Transform"}, {ID_TOOLS_AUTO_FORMAT, "Auto Format"},
    };
    static const std::vector<ToolDef> none;
    return toolbarId == IDR_MAINFRAME ? mainTools : toolbarId == IDR_VIEWBAR ? viewTools : none;
}

wxBitmapBundle ToolbarImage(int commandId)
{
    auto it = Pictures().find(commandId);
    return it == Pictures().end() ? wxBitmapBundle() : SvgPicture(it->second, 16, 16);
}

wxBitmapBundle AppIconImage() { return wxBitmapBundle::FromSVG(kAppIconSvg, wxSize(64, 64)); }
