# Sources of the text engine, relative to brindlekit/.
set(BRINDLEKIT_TEXT_SOURCES
)
