# A Debian package of what `cmake --install` installs: cpack -G DEB in a release build.
set(CPACK_PACKAGE_NAME pageglean-settings)
set(CPACK_PACKAGE_VENDOR "Tarvo")
set(CPACK_PACKAGE_CONTACT "PageGlean maintainers <maintainers@pageglean.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Write and try out the settings of PageGlean web-scraping channels")
set(CPACK_PACKAGE_DESCRIPTION
    "A desktop tool that edits the settings of a PageGlean scraping channel, loads and saves\
 them as INI files, previews the channel the plug-in makes of a page and opens the page in\
 the browser.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# The libraries the programs link, found by dpkg-shlibdeps (dpkg-dev).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# "Courier New" in the edit fields resolves to Liberation Mono; libcurl is loaded at run
# time (platform/inet/src/curlLibrary.cpp), so dpkg-shlibdeps does not see it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, libcurl4 (>= 7.88)")
include(CPack)
