# The packages users install.
#
# Native build: `cmake --build build --target package` makes the Debian
# package kestro_<version>_amd64.deb. Cross build for Windows: the same
# target makes Kestro-<version>-win64.zip. Both hold only what is installed
# in the component "kestro", so nothing a test or a bundled library installs
# can slip in.
#
# Included from the top CMakeLists.txt after every target exists.

include(GNUInstallDirs)

set(KESTRO_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(KESTRO_MAINTAINER "The Kestro developers <maintainers@kestro.io>")
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_PACKAGE_VENDOR "The Kestro developers")
set(CPACK_PACKAGE_CONTACT "${KESTRO_MAINTAINER}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};kestro;/")
set(CPACK_COMPONENTS_ALL kestro)

if(WIN32)
  # --- Kestro-<version>-win64.zip: the program, a read-me, the licence -----
  # Text files for Windows get CRLF line ends; the read-me also a byte order
  # mark, so Notepad shows its Japanese half on every Windows version.
  file(READ ${KESTRO_PACKAGING_DIR}/windows/README.txt readme)
  string(REPLACE "@VERSION@" "${PROJECT_VERSION}" readme "${readme}")
  string(REPLACE "\n" "\r\n" readme "${readme}")
  string(ASCII 239 187 191 byte_order_mark)
  file(WRITE ${CMAKE_BINARY_DIR}/packaging/README.txt "${byte_order_mark}${readme}")
  file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
  string(REPLACE "\n" "\r\n" license "${license}")
  file(WRITE ${CMAKE_BINARY_DIR}/packaging/LICENSE.txt "${license}")

  if(TARGET Kestro)
    install(TARGETS Kestro RUNTIME DESTINATION . COMPONENT kestro)
    # Where the program is, for scripts/check-packages.sh.
    file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/packaging/kestro-exe-path.txt CONTENT "$<TARGET_FILE:Kestro>")
  endif()
  install(FILES ${CMAKE_BINARY_DIR}/packaging/README.txt ${CMAKE_BINARY_DIR}/packaging/LICENSE.txt
          DESTINATION . COMPONENT kestro)

  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME Kestro)
  set(CPACK_SYSTEM_NAME win64)
  set(CPACK_PACKAGE_FILE_NAME "Kestro-${PROJECT_VERSION}-win64")
  # Unpacked, the zip gives one folder holding the three files.
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
  # The zip carries the very Kestro.exe the tests ran.
  set(CPACK_STRIP_FILES OFF)
else()
  # --- kestro_<version>_amd64.deb ------------------------------------------
  # Debian wants manual pages and the changelog compressed with gzip -9n.
  set(KESTRO_DOC_OUT ${CMAKE_BINARY_DIR}/packaging)
  set(KESTRO_GZIPPED)
  # The Japanese manual pages keep their folder (ja/) so as not to meet the
  # English ones of the same name.
  foreach(source man/kestro.1 man/kestro-build.1 man/ja/kestro.1 man/ja/kestro-build.1 changelog)
    string(REGEX REPLACE "^man/" "" name ${source})
    get_filename_component(folder ${KESTRO_DOC_OUT}/${name} DIRECTORY)
    add_custom_command(
      OUTPUT ${KESTRO_DOC_OUT}/${name}.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
      COMMAND gzip -9n -c ${KESTRO_PACKAGING_DIR}/${source} > ${KESTRO_DOC_OUT}/${name}.gz
      DEPENDS ${KESTRO_PACKAGING_DIR}/${source}
      VERBATIM)
    list(APPEND KESTRO_GZIPPED ${KESTRO_DOC_OUT}/${name}.gz)
  endforeach()
  add_custom_target(kestro_package_docs ALL DEPENDS ${KESTRO_GZIPPED})

  install(FILES ${KESTRO_DOC_OUT}/kestro.1.gz ${KESTRO_DOC_OUT}/kestro-build.1.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT kestro)
  install(FILES ${KESTRO_DOC_OUT}/ja/kestro.1.gz ${KESTRO_DOC_OUT}/ja/kestro-build.1.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/ja/man1 COMPONENT kestro)
  install(FILES ${KESTRO_PACKAGING_DIR}/copyright ${KESTRO_DOC_OUT}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kestro COMPONENT kestro)

  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME kestro)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_STRIP_FILES ON)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_NAME kestro)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KESTRO_MAINTAINER}")
  set(CPACK_DEBIAN_PACKAGE_SECTION tex)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
  # The libraries the two programs link come from dpkg-shlibdeps; the SVG
  # icon engine is a Qt plugin loaded at run time, which it cannot see.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
      "texlive-lang-japanese, xdg-utils, qt6-translations-l10n, qt6-wayland, fonts-vlgothic")
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tool bar for compiling Japanese LaTeX documents")
  set(CPACK_PACKAGE_DESCRIPTION
      "Kestro is a small tool bar that stays above the other windows and drives
the Japanese TeX tool chain on one document at a time. Drop a .tex file on
it, and its buttons compile the document with platex, run the bibliography
and index tools and the re-runs that the log and the auxiliary files call
for, convert the DVI file to PDF with dvipdfmx on the chosen paper size, and
open the PDF in the desktop's viewer.

The package also holds kestro-build, which runs the same steps from a
terminal, a script or an editor's build command, with the same settings.")
endif()

include(CPack)
