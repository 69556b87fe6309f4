cmake_minimum_required(VERSION 3.25)

# Installs the build into a fresh prefix and checks that a desktop user gets
# everything: both programs, the part library, the help page, the icons,
# the metadata, the manual pages, the package's documentation, and a
# desktop entry that starts the app in the part library's folder.
# Variables: BUILD_DIR, PREFIX, DATADIR (relative) and LIBRARY_DIR, the
# folder the entry names, as configured for the real prefix.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

set(app_id org.tervane.Tervane)
foreach(path
    bin/tervane
    bin/tervane-cli
    ${DATADIR}/tervane/tervane.txt
    ${DATADIR}/tervane/tervane.htm
    ${DATADIR}/applications/${app_id}.desktop
    ${DATADIR}/metainfo/${app_id}.metainfo.xml
    ${DATADIR}/mime/packages/${app_id}.xml
    ${DATADIR}/icons/hicolor/scalable/apps/${app_id}.svg
    ${DATADIR}/icons/hicolor/16x16/apps/${app_id}.png
    ${DATADIR}/icons/hicolor/256x256/apps/${app_id}.png
    ${DATADIR}/man/man1/tervane.1.gz
    ${DATADIR}/man/man1/tervane-cli.1.gz
    ${DATADIR}/doc/tervane/copyright
    ${DATADIR}/doc/tervane/changelog.gz)
  if(NOT EXISTS "${PREFIX}/${path}")
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()

file(STRINGS "${PREFIX}/${DATADIR}/applications/${app_id}.desktop" entry)
foreach(line "Path=${LIBRARY_DIR}" "Exec=tervane %f" "Icon=${app_id}" "MimeType=application/x-tervane-circuit;")
  if(NOT line IN_LIST entry)
    message(FATAL_ERROR "desktop entry lacks '${line}'")
  endif()
endforeach()
if(NOT LIBRARY_DIR MATCHES "/${DATADIR}/tervane$")
  message(FATAL_ERROR "the entry's folder ${LIBRARY_DIR} is not where the part library goes")
endif()
