# Sources of the local folder controls, relative to brindlekit/: the window-free
# list and tree first, then the windows around them.
set(BRINDLEKIT_SHELL_SOURCES
  shell/ShellDirListModel.cpp
  shell/ShellFolderTree.cpp
  shell/ShellRoots.cpp
  shell/ShellProperties.cpp
  shell/ShellPropertiesDialog.cpp
  shell/ShellItemCommands.cpp
  shell/ShellFolderCtrl.cpp
  shell/ShellDirCtrl.cpp
)
