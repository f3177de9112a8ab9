# `cpack` in a build folder makes a Debian package of what `cmake --install`
# puts in place: the program, its library, the shipped plugins and templates,
# the desktop entry (with the XML file types it opens) and the icon.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brindle)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Brindle developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "XML editor: tree, node list, source and browser views")
set(CPACK_PACKAGE_DESCRIPTION
    "Brindle opens, creates, edits, validates, transforms and saves XML documents and DTDs, locally or on FTP servers.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Brindle developers <brindle@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://brindle.invalid/")
# The libraries the program links come from dpkg-shlibdeps; what it loads or
# runs besides them is named here.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "shared-mime-info, adwaita-icon-theme, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei, xml-core, libgl1-mesa-dri")
include(CPack)
