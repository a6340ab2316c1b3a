# The Debian package built by `make package` (CPack), tavlo_<version>-<release>_<arch>.deb.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavlo)
set(CPACK_PACKAGE_VENDOR "The Tavlo developers")
set(CPACK_PACKAGE_CONTACT "Tavlo maintainers <maintainers@users.noreply.c-seed-d65f69ff.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for mind maps and small structured diagrams")
set(CPACK_PACKAGE_DESCRIPTION
    "Tavlo draws mind maps: boxes of five outlines, points, free texts and\n"
    "fill-in tables joined by connector lines that record parent and child,\n"
    "with labels, styles, folding of whole subtrees, arrangement, undo and redo,\n"
    "pictures in boxes and several pages in one .tvx file. Pages export to PNG,\n"
    "SVG and PDF, from the editor or from the command line.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Directories keep 0755 whatever the umask of the one who builds.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its window system plugin at run time, where dpkg-shlibdeps cannot see it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# Chinese menus and dialogs need a CJK font and Qt's own translations.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-zenhei, qt6-translations-l10n")

include(CPack)
