# The Debian package: ./build.sh package writes build/prezzario_<version>_amd64.deb from the install rules
# of packaging/CMakeLists.txt.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME prezzario)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "Prezzario developers <prezzario-dev@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "regional price list of public works (Prezzario Regione Vallorsa)")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "A desktop program, in Italian, for surveyors and engineers: it shows the
regional price list of public works in sections, chapters, articles and
subarticles, each subarticle with its unit, gross price, labour share and
labour amount. The list can be browsed, searched by text or code, copied
into a bill of quantities and sent to a LibreOffice Calc spreadsheet for
printing; the preface, the section introductions and the user manual are
part of it.

The package carries a demo price list; prezzario-build writes a real one
from CSV files, and prezzario-query runs the searches from the command
line, printing CSV, TSV or JSON.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://prezzario.example.org/)
# Depends from the libraries the programs link; the report helper's UNO libraries live in the office's own
# folder, where dpkg-shlibdeps is told to look.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own dialogs in Italian: the file dialog, the yes-or-no questions.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PREZZARIO_LIBREOFFICE_DIR}/program)
# Printing needs the office; the program starts and works without it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS libreoffice-calc)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
include(CPack)
