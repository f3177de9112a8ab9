# Sources of the FTP folder controls, relative to brindlekit/: the server records
# and their store first, then the windows around them.
set(BRINDLEKIT_FTP_SOURCES
  ftp/FTPFileFind.cpp
  ftp/FTPFolderServer.cpp
  ftp/FTPServerStore.cpp
  ftp/FTPFolderItem.cpp
  ftp/FTPFolderRules.cpp
  ftp/FTPFolderCtrl.cpp
  ftp/FTPDirListModel.cpp
  ftp/FTPDirCtrl.cpp
)
