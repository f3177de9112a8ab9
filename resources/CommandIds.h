#pragma once

// Command, menu, toolbar, dialog, control and string ids of the program. Each number
// is declared here once; everything else refers to these names.

namespace ids {

// Menus, toolbars, accelerator tables and document kinds.
constexpr int IDR_MAINFRAME = 174;       // menu without a document, main toolbar, main accelerators
constexpr int IDR_XMLTYPE = 129;         // XML document kind and its menu
constexpr int IDR_DTDTYPE = 203;         // DTD document kind and its menu
constexpr int IDR_VIEWBAR = 191;         // view toolbar
constexpr int IDR_MENUIMAGES = 173;      // toolbar that only supplies menu images
constexpr int IDR_EXPLORERIMAGES = 176;  // images of the explorer commands
constexpr int IDR_TREE_EDIT = 130;       // node tree Edit menu
constexpr int IDR_SOURCE_EDIT = 131;     // XML source Edit menu
constexpr int IDR_LIST_EDIT = 132;       // node list Edit menu
constexpr int IDR_DEFAULT_EDIT = 166;    // default Edit menu
constexpr int IDR_DTD_EDIT = 211;        // DTD source Edit menu
constexpr int IDR_SHELLFOLDER = 165;     // local folder tree menu
constexpr int IDR_SHELLDIR = 183;        // local file list menu
constexpr int IDR_FTPROOT = 168;         // remote server tree: the root
constexpr int IDR_FTPSERVER = 169;       // remote server tree: a server
constexpr int IDR_FTPFOLDER = 172;       // remote server tree: a folder
constexpr int IDR_FTPITEM = 181;         // remote file list menu

// Dialogs and controls.
constexpr int IDD_ABOUTBOX = 100;
constexpr int IDD_ADD_NAMESPACE = 220;
constexpr int IDC_NAMESPACE_COMBO = 1042;
constexpr int IDD_SPLASH = 197;
constexpr int IDB_SPLASH = 195;

// Private notifications.
constexpr int MSG_EDIT_MENU = 114;       // a view asks for its Edit menu
constexpr int CMD_SYNC_VIEW_BUTTONS = 121;
constexpr int MSG_VIEW_MODE = 122;       // a document frame reports its mode

// File menu.
constexpr int ID_FILE_NEW = 57600;
constexpr int ID_FILE_OPEN = 57601;
constexpr int ID_FILE_CLOSE = 57602;
constexpr int ID_FILE_SAVE = 57603;
constexpr int ID_FILE_SAVE_AS = 57604;
constexpr int ID_FILE_PAGE_SETUP = 57605;
constexpr int ID_FILE_PRINT_SETUP = 57606;
constexpr int ID_FILE_PRINT = 57607;
constexpr int ID_FILE_PRINT_DIRECT = 57608;
constexpr int ID_FILE_PRINT_PREVIEW = 57609;
constexpr int ID_FILE_MRU_FILE1 = 57616; // recent files: 57616 + slot
constexpr int ID_APP_EXIT = 57665;
constexpr int ID_FILE_SAVE_AS_TEMPLATE = 32896;
constexpr int ID_FILE_FTP_OPEN = 32859;
constexpr int ID_FILE_FTP_SAVE_AS = 32865;
constexpr int ID_FILE_SETTINGS = 32796;

// Edit menu.
constexpr int ID_EDIT_COPY = 57634;
constexpr int ID_EDIT_CUT = 57635;
constexpr int ID_EDIT_FIND = 57636;
constexpr int ID_EDIT_PASTE = 57637;
constexpr int ID_EDIT_REPEAT = 57640;    // Find Next (F3)
constexpr int ID_EDIT_REPLACE = 57641;
constexpr int ID_EDIT_SELECT_ALL = 57642;
constexpr int ID_EDIT_UNDO = 57643;
constexpr int ID_EDIT_REDO = 57644;
constexpr int ID_EDIT_FIND_PREVIOUS = 37126;
constexpr int ID_EDIT_FOLD_ALL = 37160;   // ours: the source views' Fold All
constexpr int ID_EDIT_UNFOLD_ALL = 37161; // ours: Unfold All
constexpr int ID_EDIT_DELETE = 32772;
constexpr int ID_EDIT_RENAME = 32778;
constexpr int ID_EDIT_SELECT_ALL_TEXT = 32779;
constexpr int ID_EDIT_FIND_NEXT_TEXT = 32785;
constexpr int ID_EDIT_FIND_TOOLBAR = 32819;
constexpr int ID_NODE_CHILD = 32775;
constexpr int ID_NODE_SIBLING = 32777;
constexpr int ID_NODE_EDIT = 32797;
constexpr int ID_NEW_ATTRIBUTE = 32794;
constexpr int ID_NEW_COMMENT = 32795;
constexpr int ID_NEW_CDATA = 32791;
constexpr int ID_NEW_TEXT = 32792;
constexpr int ID_NEW_PROCINST = 32793;
constexpr int ID_PROPERTIES = 200;
constexpr int ID_REFRESH = 32798;

// View menu and view toolbar.
constexpr int ID_VIEW_TOOLBAR = 59392;
constexpr int ID_VIEW_STATUS_BAR = 59393;
constexpr int ID_VIEW_FILE_BROWSER = 32802;
constexpr int ID_VIEW_SOURCE = 32807;
constexpr int ID_VIEW_TREE = 32878;
constexpr int ID_VIEW_BROWSER = 32894;
// The XPath panel (shown while the "useXPath" setting is on).
constexpr int ID_VIEW_XPATH = 32920;
constexpr int ID_EXPLORER_CLOSE = 116;

// The explorer bar's local browser.
constexpr int ID_SHELLFOLDER_REFRESH = 32849;
constexpr int ID_SHELLFOLDER_PROPERTIES = 32850;
constexpr int ID_SHELLDIR_OPEN = 32810;
constexpr int ID_SHELLDIR_FILTER_XML = 32811;
constexpr int ID_SHELLDIR_FILTER_XSL = 32812;
constexpr int ID_SHELLDIR_FILTER_XSD = 32813;
constexpr int ID_SHELLDIR_FILTER_DTD = 32814;
constexpr int ID_SHELLDIR_FILTER_ALL = 32815;
constexpr int ID_SHELLDIR_REFRESH = 32844;
constexpr int ID_SHELLDIR_PROPERTIES = 32845;

// The explorer bar's remote browser.
constexpr int ID_FTP_ADD_SERVER = 32771;
constexpr int ID_FTP_PROPERTIES = 32846;
constexpr int ID_FTP_DELETE_SERVER = 32831;
constexpr int ID_FTP_DISCONNECT = 32832;
constexpr int ID_FTP_REFRESH = 32847;
constexpr int ID_FTP_OPEN = 32848;

// Tools menu.
constexpr int ID_TOOLS_VALIDATE = 32869;
constexpr int ID_TOOLS_TRANSFORM = 32874;
constexpr int ID_TOOLS_AUTO_FORMAT = 32876;
constexpr int ID_TOOLS_VALIDATE_AGAINST = 37150; // ours: validate against a chosen schema

// Plugins: script i runs as 300 + i; the menu resource holds a placeholder item.
constexpr int ID_PLUGIN_FIRST = 300;
constexpr int ID_PLUGIN_LAST = 309;
// The Window menu's list of open documents: one command each from this id on.
constexpr int ID_WINDOW_DOCUMENT_FIRST = 65280;
constexpr int ID_WINDOW_DOCUMENT_LAST = 65343;
constexpr int ID_PLUGIN_PLACEHOLDER = 32895;

// Window and Help menus.
constexpr int ID_WINDOW_NEXT_PANE = 57680;
constexpr int ID_WINDOW_PREV_PANE = 57681;
constexpr int ID_WINDOW_CASCADE = 57650;
constexpr int ID_WINDOW_TILE_HORZ = 57651;
constexpr int ID_WINDOW_ARRANGE = 57649;
constexpr int ID_HELP = 57670;
constexpr int ID_APP_ABOUT = 57664;

// Status bar panes.
constexpr int ID_SEPARATOR = 0;
constexpr int ID_INDICATOR_PATH = 123;
constexpr int ID_INDICATOR_CAPS = 59137;
constexpr int ID_INDICATOR_NUM = 59138;
constexpr int ID_INDICATOR_SCRL = 59139;
constexpr int ID_INDICATOR_OVR = 59140;
constexpr int AFX_IDS_IDLEMESSAGE = 61449;
constexpr int ID_INDICATOR_READ = 37901;
constexpr int ID_INDICATOR_CRLF = 37902;
constexpr int ID_INDICATOR_POSITION = 37903;

// Strings.
constexpr int IDS_SOCKETS_INIT_FAILED = 104;
constexpr int IDS_OLE_INIT_FAILED = 105;
constexpr int IDS_RICHEDIT_INIT_FAILED = 106;
constexpr int AFX_IDP_FAILED_TO_OPEN_DOC = 61697;
constexpr int AFX_IDP_FAILED_TO_CREATE_DOC = 61700;

} // namespace ids
