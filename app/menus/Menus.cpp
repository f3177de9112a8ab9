#include "app/menus/Menus.h"

#include "app/menus/ToolbarArt.h"
#include "resources/CommandIds.h"

#include <map>
#include <wx/menu.h>

using namespace ids;

namespace {

const MenuItemDef kSeparator{};

// Items that show a check mark: window toggles and the document modes.
bool IsCheckCommand(int id)
{
    return id == ID_VIEW_TOOLBAR || id == ID_VIEW_STATUS_BAR || id == ID_VIEW_FILE_BROWSER || id == ID_VIEW_SOURCE ||
           id == ID_VIEW_TREE || id == ID_VIEW_BROWSER || id == ID_VIEW_XPATH;
}

std::vector<MenuItemDef> FileMenu(bool withDocument)
{
    std::vector<MenuItemDef> items = {
        {ID_FILE_NEW, "New\tCtrl+N", {}},
        {ID_FILE_OPEN, "&Open...\tCtrl+O", {}},
        {ID_FILE_FTP_OPEN, "[FTP] Open FTP...", {}},
    };
    if (withDocument) {
        items.insert(items.end(), {
                                      {ID_FILE_CLOSE, "&Close", {}},
                                      kSeparator,
                                      {ID_FILE_SAVE, "&Save\tCtrl+S", {}},
                                      {ID_FILE_SAVE_AS, "Save &As...", {}},
                                      {ID_FILE_SAVE_AS_TEMPLATE, "Save As Template ...", {}},
                                      {ID_FILE_FTP_SAVE_AS, "[FTP] Save As ...", {}},
                                      kSeparator,
                                      {ID_FILE_PRINT, "&Print...\tCtrl+P", {}},
                                      {ID_FILE_PRINT_PREVIEW, "Print Pre&view", {}},
                                      {ID_FILE_PAGE_SETUP, "Page Set&up...", {}},
                                  });
    } else {
        items.push_back(kSeparator);
    }
    items.insert(items.end(), {
                                  {ID_FILE_PRINT_SETUP, "P&rint Setup...", {}},
                                  kSeparator,
                                  {ID_FILE_SETTINGS, "Settings ...", {}},
                                  kSeparator,
                                  {ID_FILE_MRU_FILE1, kRecentFilePlaceholder, {}},
                                  kSeparator,
                                  {ID_APP_EXIT, "E&xit", {}},
                              });
    return items;
}

std::vector<MenuItemDef> ViewMenu(bool withModes)
{
    std::vector<MenuItemDef> items = {
        {ID_VIEW_TOOLBAR, "&Toolbar", {}},
        {ID_VIEW_STATUS_BAR, "&Status Bar", {}},
        {ID_VIEW_FILE_BROWSER, "File &Browser\tAlt+0", {}},
        {ID_VIEW_XPATH, "&XPath\tCtrl+Shift+X", {}},
    };
    if (withModes) {
        items.insert(items.end(), {
                                      kSeparator,
                                      {ID_VIEW_SOURCE, "&Source View\tAlt+1", {}},
                                      {ID_VIEW_TREE, "&Node Tree\tAlt+2", {}},
                                      {ID_VIEW_BROWSER, "B&rowser View\tAlt+3", {}},
                                  });
    }
    return items;
}

const MenuItemDef kHelpMenu{0, "&Help", {{ID_APP_ABOUT, "&About Brindle...", {}}}};

const MenuItemDef kWindowMenu{0,
                              "&Window",
                              {
                                  {wxID_MDI_WINDOW_NEXT, "&Next Document", {}},
                                  {wxID_MDI_WINDOW_PREV, "&Previous Document", {}},
                                  kSeparator,
                                  {wxID_CLOSE_ALL, "Close &All", {}},
                              }};

const std::vector<MenuItemDef> kTextEditItems = {
    {ID_EDIT_UNDO, "Undo\tCtrl+Z", {}},
    {ID_EDIT_REDO, "Redo\tCtrl+Y", {}},
    kSeparator,
    {ID_EDIT_CUT, "Cut\tCtrl+X", {}},
    {ID_EDIT_COPY, "Copy\tCtrl+C", {}},
    {ID_EDIT_PASTE, "Paste\tCtrl+V", {}},
    {ID_EDIT_DELETE, "Delete", {}},
    kSeparator,
    {ID_EDIT_SELECT_ALL_TEXT, "Select All", {}},
    kSeparator,
    {ID_EDIT_FIND, "Find ...", {}},
    {ID_EDIT_FIND_NEXT_TEXT, "Find Next", {}},
    {ID_EDIT_REPLACE, "Replace ...", {}},
    kSeparator,
    {ID_EDIT_FOLD_ALL, "Fold All\tCtrl+[", {}},
    {ID_EDIT_UNFOLD_ALL, "Unfold All\tCtrl+]", {}},
};

std::vector<MenuItemDef> XmlSourceEditItems()
{
    auto items = kTextEditItems;
    items.push_back(kSeparator);
    items.push_back({ID_TOOLS_AUTO_FORMAT, "Auto Format", {}});
    return items;
}

// The Edit menu of the node tree and of the node list: the same commands around
// each view's own items for making nodes.
MenuItemDef NodeEditMenu(const std::vector<MenuItemDef>& ownItems)
{
    std::vector<MenuItemDef> items{{ID_EDIT_UNDO, "&Undo\tCtrl+Z", {}}, {ID_EDIT_REDO, "&Redo\tCtrl+Y", {}}, kSeparator};
    items.insert(items.end(), ownItems.begin(), ownItems.end());
    items.insert(items.end(), {kSeparator,
                               {ID_EDIT_CUT, "Cu&t\tCtrl+X", {}},
                               {ID_EDIT_COPY, "&Copy\tCtrl+C", {}},
                               {ID_EDIT_PASTE, "&Paste\tCtrl+V", {}},
                               {ID_EDIT_DELETE, "&Delete", {}},
                               {ID_EDIT_RENAME, "Rena&me", {}},
                               kSeparator,
                               {ID_REFRESH, "&Refresh", {}},
                               {ID_PROPERTIES, "P&roperties\tAlt+Enter", {}}});
    return {0, "&Edit", std::move(items)};
}

std::map<int, std::vector<MenuItemDef>> BuildResources()
{
    std::map<int, std::vector<MenuItemDef>> r;
    const MenuItemDef defaultEdit{0,
                                  "&Edit",
                                  {
                                      {ID_EDIT_UNDO, "&Undo\tCtrl+Z", {}},
                                      kSeparator,
                                      {ID_EDIT_CUT, "Cu&t\tCtrl+X", {}},
                                      {ID_EDIT_COPY, "&Copy\tCtrl+C", {}},
                                      {ID_EDIT_PASTE, "&Paste\tCtrl+V", {}},
                                  }};
    const MenuItemDef tools{0,
                            "&Tools",
                            {
                                {ID_TOOLS_VALIDATE, "Validate", {}},
                                {ID_TOOLS_VALIDATE_AGAINST, "Validate Against...", {}},
                                {ID_TOOLS_TRANSFORM, "Transform ...", {}},
                                {ID_TOOLS_AUTO_FORMAT, "Auto Format", {}},
                            }};
    r[IDR_MAINFRAME] = {{0, "&File", FileMenu(false)}, {0, "&View", ViewMenu(false)}, kHelpMenu};
    r[IDR_XMLTYPE] = {{0, "&File", FileMenu(true)},
                      defaultEdit,
                      {0, "&View", ViewMenu(true)},
                      tools,
                      {0, "Plugins", {{ID_PLUGIN_PLACEHOLDER, "test", {}}}},
                      kWindowMenu,
                      kHelpMenu};
    r[IDR_DTDTYPE] = {{0, "&File", FileMenu(true)}, defaultEdit, {0, "&View", ViewMenu(true)}, kWindowMenu, kHelpMenu};
    r[IDR_DEFAULT_EDIT] = {defaultEdit};
    r[IDR_TREE_EDIT] = {NodeEditMenu({{0,
                                       "&New",
                                       {
                                           {ID_NODE_CHILD, "&Child Node\tAlt+F", {}},
                                           {ID_NODE_SIBLING, "&Sibling Node\tAlt+G", {}},
                                       }}})};
    r[IDR_LIST_EDIT] = {NodeEditMenu({{ID_NODE_EDIT, "&Edit", {}},
                                      {0,
                                       "&New",
                                       {
                                           {ID_NEW_ATTRIBUTE, "&Attribute", {}},
                                           {ID_NEW_COMMENT, "C&omment", {}},
                                           {ID_NEW_CDATA, "&CData", {}},
                                           {ID_NEW_TEXT, "&Text", {}},
                                           {ID_NEW_PROCINST, "&Processing Instruction", {}},
                                       }}})};
    r[IDR_SOURCE_EDIT] = {{0, "&Edit", XmlSourceEditItems()}};
    r[IDR_DTD_EDIT] = {{0, "&Edit", kTextEditItems}};
    r[IDR_SHELLFOLDER] = {{0,
                           "SHELLFOLDER",
                           {{ID_SHELLFOLDER_REFRESH, "Refresh", {}},
                            {ID_SHELLFOLDER_PROPERTIES, "Properties", {}}}}};
    r[IDR_SHELLDIR] = {{0,
                        "SHELLDIR",
                        {{ID_SHELLDIR_OPEN, "Open", {}},
                         {0,
                          "Filter",
                          {{ID_SHELLDIR_FILTER_XML, "XML Files", {}},
                           {ID_SHELLDIR_FILTER_XSL, "XSL Files", {}},
                           {ID_SHELLDIR_FILTER_XSD, "XSD Files", {}},
                           {ID_SHELLDIR_FILTER_DTD, "DTD Files", {}},
                           {ID_SHELLDIR_FILTER_ALL, "All Files", {}}}},
                         {ID_SHELLDIR_REFRESH, "Refresh", {}},
                         {ID_SHELLDIR_PROPERTIES, "Properties", {}}}}};
    r[IDR_FTPROOT] = {{0, "FTPROOT", {{ID_FTP_ADD_SERVER, "Add Server ...", {}}, {ID_FTP_REFRESH, "Refresh", {}}}}};
    r[IDR_FTPSERVER] = {{0,
                         "FTPSERVER",
                         {{ID_FTP_DISCONNECT, "Disconnect", {}},
                          {ID_FTP_REFRESH, "Refresh", {}},
                          {ID_FTP_DELETE_SERVER, "Delete", {}},
                          {ID_FTP_PROPERTIES, "Properties", {}}}}};
    r[IDR_FTPFOLDER] = {{0, "FTPFOLDER", {{ID_FTP_REFRESH, "Refresh", {}}}}};
    r[IDR_FTPITEM] = {{0,
                       "FTPITEM",
                       {{ID_FTP_OPEN, "Open", {}},
                        {ID_FTP_REFRESH, "Refresh", {}},
                        {ID_FTP_PROPERTIES, "Properties", {}}}}};
    return r;
}

} // namespace

const std::vector<MenuItemDef>& MenuResource(int resourceId)
{
    static const auto resources = BuildResources();
    static const std::vector<MenuItemDef> none;
    auto it = resources.find(resourceId);
    return it == resources.end() ? none : it->second;
}

namespace {

class ProgramMenuResources : public brindle::ITarnResources {
public:
    ProgramMenuResources()
    {
        for (int toolbar : {IDR_MAINFRAME, IDR_VIEWBAR}) {
            auto& buttons = m_toolbars[toolbar];
            for (const ToolDef& tool : ToolbarTools(toolbar))
                if (tool.id != 0) buttons.push_back(tool.id);
        }
        m_toolbars[IDR_MENUIMAGES] = CommandsWithImages();
        m_toolbars[IDR_EXPLORERIMAGES] = m_toolbars[IDR_MENUIMAGES];
    }
    const std::vector<MenuItemDef>* Menu(int resourceId) const override
    {
        const auto& popups = MenuResource(resourceId);
        return popups.empty() ? nullptr : &popups;
    }
    const std::vector<int>* Toolbar(int toolbarId) const override
    {
        const auto it = m_toolbars.find(toolbarId);
        return it == m_toolbars.end() ? nullptr : &it->second;
    }
    wxBitmapBundle ButtonImage(int commandId) const override { return ToolbarImage(commandId); }
    bool IsCheckCommand(int commandId) const override { return ::IsCheckCommand(commandId); }

private:
    std::map<int, std::vector<int>> m_toolbars;
};

// Every menu takes the pictures of these toolbars.
constexpr std::initializer_list<int> kImageToolbars = {IDR_MAINFRAME, IDR_MENUIMAGES, IDR_VIEWBAR};

void UseProgramResources() { brindle::TarnMenu::SetResources(&MenuResources()); }

} // namespace

const brindle::ITarnResources& MenuResources()
{
    static const ProgramMenuResources resources;
    return resources;
}

wxMenu* BuildMenu(const std::vector<MenuItemDef>& items)
{
    UseProgramResources();
    auto* menu = new brindle::TarnMenu;
    menu->AppendItems(items);
    menu->LoadToolbars(kImageToolbars);
    return menu;
}

wxMenuBar* BuildMenuBar(int resourceId)
{
    UseProgramResources();
    return brindle::TarnMenu::LoadMenuBar(resourceId, kImageToolbars);
}

void TrackContextMenu(wxWindow* window, int resourceId, const wxPoint& point)
{
    UseProgramResources();
    brindle::TarnMenu menu;
    if (!menu.LoadMenu(resourceId)) return;
    menu.LoadToolbars(kImageToolbars);
    menu.TrackPopupMenu(*window, point);
}
