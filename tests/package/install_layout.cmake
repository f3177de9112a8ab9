# Installs the build into a folder of its own, then checks that every file the
# program needs landed there and that the installed program runs a shipped
# plugin from its data folder.
#   cmake -DBUILD=<build dir> -DOUT=<scratch dir> -DLIBDIR=<lib dir> -P install_layout.cmake
file(REMOVE_RECURSE ${OUT})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${OUT}/usr
                RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${err}")
endif()

set(expected
  bin/Brindle
  ${LIBDIR}/brindle/libbrindlekit.so
  share/applications/brindle.desktop
  share/icons/hicolor/scalable/apps/brindle.svg
  "share/brindle/scripts/Remove comments.vbs"
  "share/brindle/scripts/Sort attributes.vbs"
  "share/brindle/templates/Simple XML Document.xml"
  "share/brindle/templates/XSLT Stylesheet.xml")
foreach(f IN LISTS expected)
  if(NOT EXISTS "${OUT}/usr/${f}")
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
# Nothing lands beside the program but the program.
file(GLOB in_bin RELATIVE ${OUT}/usr/bin ${OUT}/usr/bin/*)
if(NOT in_bin STREQUAL "Brindle")
  message(FATAL_ERROR "bin/ holds more than the program: ${in_bin}")
endif()

file(READ ${OUT}/usr/share/applications/brindle.desktop entry)
foreach(type application/xml application/xslt+xml application/xml-dtd)
  string(FIND "${entry}" "${type};" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the desktop entry does not open ${type}")
  endif()
endforeach()

# The installed program finds its library and runs a shipped plugin.
file(WRITE ${OUT}/doc.xml "<r><!-- gone --><a/></r>\n")
execute_process(COMMAND env -u DISPLAY -u WAYLAND_DISPLAY BRINDLE_CONFIG_DIR=${OUT}/config
                        ${OUT}/usr/bin/Brindle --run-plugin "${OUT}/usr/share/brindle/scripts/Remove comments.vbs"
                        ${OUT}/doc.xml
                RESULT_VARIABLE rc ERROR_VARIABLE err)
file(READ ${OUT}/doc.xml result)
if(NOT rc EQUAL 0 OR result MATCHES "gone")
  message(FATAL_ERROR "the installed program did not run the plugin (status ${rc}): ${err}\n${result}")
endif()
file(REMOVE_RECURSE ${OUT})
