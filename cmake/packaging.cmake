# A Debian package of what `cmake --install` puts in place: `make package` runs cpack in the
# build folder and leaves tessik_<version>_<arch>.deb there.
# The maintainer (TESSIK_MAINTAINER) is set in share/, whose copyright file and
# changelog name it too.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${TESSIK_PROGRAM})
set(CPACK_PACKAGE_VENDOR "Tessik maintainers")
set(CPACK_PACKAGE_CONTACT ${TESSIK_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "root cause analysis diagrams for one event at a time")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

# The version as the program shows it, so apt and the window's version label agree.
set(CPACK_DEBIAN_PACKAGE_VERSION ${TESSIK_DISPLAY_VERSION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TESSIK_MAINTAINER})
# The libraries come from dpkg-shlibdeps; Qt loads its platform plugins and the diagram is
# measured with the Liberation fonts, neither of which a library link shows.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation2")
# Snapshots and the training pages are handed to the desktop's default viewers.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
# The summary above is the synopsis line; this is the long description below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Tessik builds one root cause analysis at a time: a diagram of up to 100
rounded blocks, each with a caption, notes and a category, linked so that
chains run from the causes to the impact they led to. It saves and loads
analysis files (.rca.xml), searches a folder of them for a phrase, replays
the causal chains as an animation and saves a snapshot of the diagram.")

include(CPack)
