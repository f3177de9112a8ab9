# Sources of the window chrome, relative to brindlekit/: models first, then the
# windows around them.
set(BRINDLEKIT_CHROME_SOURCES
  chrome/SplitterModel.cpp
  chrome/SplitterWndEx.cpp
  chrome/TarnMenu.cpp
  chrome/PrintJobs.cpp
)
