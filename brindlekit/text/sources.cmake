# Sources of the text engine, relative to brindlekit/.
set(BRINDLEKIT_TEXT_SOURCES
  text/EditAction.cpp
  text/EolMode.cpp
  text/LineArena.cpp
  text/LineReader.cpp
  text/LineTableAllocator.cpp
  text/TextBuffer.cpp
  text/TextBufferFile.cpp
  text/TextBufferFlags.cpp
  text/TextBufferUndo.cpp
  text/TextBufferView.cpp
  text/TextIndexError.cpp
  text/TextLine.cpp
  text/UpdateContext.cpp
)
