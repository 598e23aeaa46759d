# The Windows build (cross-built with mingw-w64, windows/README.md): the window
# program without a console window, both with their icon and version information; the
# About logo as a bitmap made from the SVG by ImageMagick at build time, since this Qt
# has no Svg module.
find_program(CONVERT_EXECUTABLE convert REQUIRED)
set(win_dir ${PROJECT_BINARY_DIR}/windows)
file(MAKE_DIRECTORY ${win_dir})

add_custom_command(OUTPUT ${win_dir}/parvelaclient-logo.png
  COMMAND ${CONVERT_EXECUTABLE} -background none -density 192 ${PROJECT_SOURCE_DIR}/data/parvelaclient-logo.svg
          -resize 400x300 ${win_dir}/parvelaclient-logo.png
  DEPENDS ${PROJECT_SOURCE_DIR}/data/parvelaclient-logo.svg
  COMMENT "Drawing the About logo from its SVG" VERBATIM)
add_custom_command(OUTPUT ${win_dir}/parvelaclient.ico
  COMMAND ${CONVERT_EXECUTABLE} -background none -density 384 ${PROJECT_SOURCE_DIR}/data/icons/parvelaclient.svg
          -define icon:auto-resize=256,64,48,32,16 ico:${win_dir}/parvelaclient.ico
  DEPENDS ${PROJECT_SOURCE_DIR}/data/icons/parvelaclient.svg
  COMMENT "Drawing the program icon from its SVG" VERBATIM)
file(WRITE ${win_dir}/AboutLogo.qrc.in
  "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n  <qresource prefix=\"/\">\n"
  "    <file alias=\"parvelaclient-logo.png\">parvelaclient-logo.png</file>\n  </qresource>\n</RCC>\n")
configure_file(${win_dir}/AboutLogo.qrc.in ${win_dir}/AboutLogo.qrc COPYONLY)
set_source_files_properties(${win_dir}/AboutLogo.qrc PROPERTIES OBJECT_DEPENDS ${win_dir}/parvelaclient-logo.png)
target_sources(parvela_gui PRIVATE ${win_dir}/AboutLogo.qrc ${win_dir}/parvelaclient-logo.png)

# Qt's own texts in the program's languages (the file browser's columns, standard
# buttons): a Windows machine has no Qt installed, so the program carries qtbase's
# catalogues, taken from the host's Qt of the same version (qt6-translations-l10n).
set(QT_HOST_TRANSLATIONS /usr/share/qt6/translations CACHE PATH "Qt's catalogues of the host's Qt")
set(qt_catalogues "")
foreach(language de fr nl sv)
  if(EXISTS ${QT_HOST_TRANSLATIONS}/qtbase_${language}.qm)
    string(APPEND qt_catalogues "    <file alias=\"qtbase_${language}.qm\">${QT_HOST_TRANSLATIONS}/qtbase_${language}.qm</file>\n")
  endif()
endforeach()
if(qt_catalogues STREQUAL "")
  message(FATAL_ERROR "No Qt catalogues in ${QT_HOST_TRANSLATIONS}: install qt6-translations-l10n")
endif()
file(WRITE ${win_dir}/QtTranslations.qrc.in
  "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n  <qresource prefix=\"/qt-translations\">\n${qt_catalogues}"
  "  </qresource>\n</RCC>\n")
configure_file(${win_dir}/QtTranslations.qrc.in ${win_dir}/QtTranslations.qrc COPYONLY)
# The host's rcc would pack them with zstd, which this Qt cannot unpack (built without it).
set_source_files_properties(${win_dir}/QtTranslations.qrc PROPERTIES AUTORCC_OPTIONS "--no-zstd")
target_sources(parvela_gui PRIVATE ${win_dir}/QtTranslations.qrc)

# Icon and version information of both programs.
set(PARVELA_VERSION_COMMAS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")
foreach(program parvelaclient parvela)
  if(program STREQUAL "parvelaclient")
    set(PARVELA_FILE_DESCRIPTION "Parvela Client")
  else()
    set(PARVELA_FILE_DESCRIPTION "Parvela command-line tool")
  endif()
  set(PARVELA_FILE_NAME ${program}.exe)
  configure_file(${PROJECT_SOURCE_DIR}/windows/program.rc.in ${win_dir}/${program}.rc @ONLY)
  set_source_files_properties(${win_dir}/${program}.rc PROPERTIES OBJECT_DEPENDS ${win_dir}/parvelaclient.ico)
  target_sources(${program} PRIVATE ${win_dir}/${program}.rc)
endforeach()
set_target_properties(parvelaclient PROPERTIES WIN32_EXECUTABLE ON)
# Beside the system's own platform, the offscreen one: the window program runs without
# a display too (QT_QPA_PLATFORM=offscreen), as its tests start it.
qt_import_plugins(parvelaclient INCLUDE Qt6::QOffscreenIntegrationPlugin)

# The installer, parvela-client-<version>-setup.exe, made with NSIS (windows/installer.nsi).
find_program(MAKENSIS_EXECUTABLE makensis)
if(MAKENSIS_EXECUTABLE)
  set(PARVELA_INSTALLER ${PROJECT_BINARY_DIR}/parvela-client-${PROJECT_VERSION}-setup.exe)
  add_custom_command(OUTPUT ${PARVELA_INSTALLER}
    COMMAND ${MAKENSIS_EXECUTABLE} -V2 -DVERSION=${PROJECT_VERSION} -DBUILD=${PROJECT_BINARY_DIR}
            -DSOURCE=${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/windows/installer.nsi
    DEPENDS parvelaclient parvela ${PROJECT_SOURCE_DIR}/windows/installer.nsi
            ${PROJECT_SOURCE_DIR}/data/parvelaclient.INI.sample
    COMMENT "Making the installer ${PARVELA_INSTALLER}" VERBATIM)
  add_custom_target(installer DEPENDS ${PARVELA_INSTALLER})
endif()
