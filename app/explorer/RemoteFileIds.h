#pragma once

// Command ids of the remote file dialog and its menus.
namespace remote_ids {

constexpr int ID_ACCEPT = 1024;
constexpr int ID_TREE = 1026;
constexpr int ID_LIST = 1025;
constexpr int ID_LOOK_IN = 1030;
constexpr int ID_FILE_NAME = 1022;
constexpr int ID_FILE_TYPE = 1023;

// Server tree.
constexpr int ID_ADD_SERVER = 32771;
constexpr int ID_SERVER_PROPERTIES = 32846;
constexpr int ID_DELETE_SERVER = 32831;
constexpr int ID_REFRESH_SERVER = 32847;
constexpr int ID_DISCONNECT = 32832;

// Toolbar and list.
constexpr int ID_UP = 32860;
constexpr int ID_CREATE_DIRECTORY = 32801;
constexpr int ID_VIEW_MENU = 32770; // the drop-down button; it only opens the view menu
constexpr int ID_FILE_PROPERTIES = 32780;
constexpr int ID_DELETE_ROW = 32776;
constexpr int ID_RENAME_ROW = 32777;
constexpr int ID_OPEN_ROW = 32783;

// View modes of the list.
constexpr int ID_VIEW_SMALL_ICONS = 59408;
constexpr int ID_VIEW_LARGE_ICONS = 59409;
constexpr int ID_VIEW_LIST = 59410;
constexpr int ID_VIEW_DETAILS = 59411;

} // namespace remote_ids
