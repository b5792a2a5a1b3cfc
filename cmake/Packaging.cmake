# The manual pages and the package's changelog and copyright, and a Debian package of what
# `cmake --install` installs: cpack -G DEB in a release build.
include(GNUInstallDirs)
set(pg_packaging ${PROJECT_SOURCE_DIR}/packaging)
set(pg_packagingOut ${CMAKE_BINARY_DIR}/packaging)

# A changelog whose latest entry is another version would describe some other package.
file(STRINGS ${pg_packaging}/changelog pg_changelogTop LIMIT_COUNT 1)
if(NOT pg_changelogTop MATCHES "^pageglean-settings \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog starts with \"${pg_changelogTop}\", "
                      "not an entry for version ${PROJECT_VERSION}")
endif()

# Debian wants them compressed with gzip -9n: no name or time stamp, so the same text
# always makes the same bytes.
set(pg_gzipped)
function(pg_gzip source name)
  set(plain ${pg_packagingOut}/${name})
  add_custom_command(OUTPUT ${plain}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${plain}
    COMMAND gzip -9nf ${plain}
    DEPENDS ${source} VERBATIM)
  set(pg_gzipped ${pg_gzipped} ${plain}.gz PARENT_SCOPE)
endfunction()
foreach(program PageGleanSettings PageGlean PageGleanView)
  configure_file(${pg_packaging}/${program}.1.in ${pg_packagingOut}/${program}.1.roff @ONLY)
  pg_gzip(${pg_packagingOut}/${program}.1.roff ${program}.1)
  install(FILES ${pg_packagingOut}/${program}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
# A native package (no Debian revision) keeps its changelog as changelog.gz.
pg_gzip(${pg_packaging}/changelog changelog)
add_custom_target(packagingFiles ALL DEPENDS ${pg_gzipped})
set(pg_docDir ${CMAKE_INSTALL_DATADIR}/doc/pageglean-settings)
install(FILES ${pg_packagingOut}/changelog.gz ${pg_packaging}/copyright DESTINATION ${pg_docDir})

set(CPACK_PACKAGE_NAME pageglean-settings)
set(CPACK_PACKAGE_VENDOR "Tarvo")
set(CPACK_PACKAGE_CONTACT "PageGlean maintainers <maintainers@pageglean.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Write and try out the settings of PageGlean web-scraping channels")
# The extended description: lines under 80 columns; cpack indents them and turns an empty
# line into Debian's paragraph break.
set(CPACK_PACKAGE_DESCRIPTION [=[
PageGlean Settings is a desktop tool that writes the settings of a PageGlean
web-scraping channel: the page to scrape (a URL that may carry date
placeholders), the channel's title, description and base URL, the maximum
number of items and the patterns that cut items out of the page.

Preview downloads the page, runs the scraping plug-in PageGlean on it and
shows the RSS feed it made or its errors in PageGleanView, a viewer of the
feed's items and warnings; View opens the page in the browser.
Settings load from and save to INI files. PageGlean also runs on its own:
given a settings file, it writes the channel's RSS 2.0 feed to standard
output.]=])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# The libraries the programs link, found by dpkg-shlibdeps (dpkg-dev).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Installed files are stripped; a debugger wants the build tree's binaries.
set(CPACK_STRIP_FILES ON)
# Beyond the libraries: the desktop's UI font and the mono face that "Courier New" resolves
# to, and the opener behind View and the default viewer. Qt's xcb platform plug-in comes
# with libqt6gui6, which shlibdeps names already. libcurl is loaded at its first use
# (platform/inet/src/curlLibrary.cpp), so shlibdeps does not see it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-dejavu-core, fonts-liberation, xdg-utils, libcurl4 (>= 7.88)")
# A Wayland session without qt6-wayland falls back to XWayland; https downloads need the
# certificate authorities.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, ca-certificates")
include(CPack)
