# Installing and packaging: the two programs, and on Linux their desktop entry, icon,
# AppStream metadata, manual pages, shell completion and a sample policy file; a Debian
# package of all that with CPack (`make deb`, or `cpack -G DEB` in a build folder).
include(GNUInstallDirs)

set(PARVELA_APP_ID example.trovik.ParvelaClient)
set(PARVELA_PACKAGE parvela-client)

install(TARGETS parvelaclient parvela RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

if(UNIX AND NOT APPLE)
  # Manual pages are written in scdoc and built with the programs, compressed as
  # Debian installs them.
  find_program(SCDOC_EXECUTABLE scdoc REQUIRED)
  set(man_pages)
  foreach(page parvela parvelaclient)
    set(scd ${PROJECT_SOURCE_DIR}/data/man/${page}.1.scd)
    set(roff ${PROJECT_BINARY_DIR}/man/${page}.1)
    add_custom_command(OUTPUT ${roff}.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
      COMMAND sh -c "\"$0\" < \"$1\" > \"$2\"" ${SCDOC_EXECUTABLE} ${scd} ${roff}
      COMMAND gzip -9nf ${roff}
      DEPENDS ${scd}
      COMMENT "Writing the manual page ${page}(1)"
      VERBATIM)
    list(APPEND man_pages ${roff}.gz)
  endforeach()
  add_custom_target(man_pages ALL DEPENDS ${man_pages})
  install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

  install(FILES data/${PARVELA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  # "Send with Parvela Client" in the file managers' menus for files and folders: a
  # service menu (Dolphin), a Nemo action, a file-manager action (Caja and others that
  # read them). None of them makes the program the one that opens any type of file.
  install(FILES data/filemanager/kde-servicemenu.desktop RENAME parvelaclient-send.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/kio/servicemenus)
  install(FILES data/filemanager/nemo.nemo_action RENAME parvelaclient-send.nemo_action
          DESTINATION ${CMAKE_INSTALL_DATADIR}/nemo/actions)
  install(FILES data/filemanager/file-manager-action.desktop RENAME parvelaclient-send.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/file-manager/actions)
  install(FILES data/${PARVELA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES data/icons/parvelaclient.svg RENAME ${PARVELA_APP_ID}.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES data/completion/parvela.bash RENAME parvela
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
  install(FILES data/parvelaclient.INI.sample RENAME parvelaclient.INI
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${PARVELA_PACKAGE}/examples)
endif()

# The package's maintainer: -DPARVELA_MAINTAINER="Name <address>", or whoever git
# says is building (git config), or the author of the last commit.
set(PARVELA_MAINTAINER "" CACHE STRING "Maintainer of the Debian package (Name <address>)")
set(maintainer "${PARVELA_MAINTAINER}")
if(NOT maintainer)
  find_package(Git QUIET)
  if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} config user.name WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE git_name OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    execute_process(COMMAND ${GIT_EXECUTABLE} config user.email WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE git_email OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(git_name AND git_email)
      set(maintainer "${git_name} <${git_email}>")
    else()
      execute_process(COMMAND ${GIT_EXECUTABLE} log -1 "--format=%an <%ae>" WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                      OUTPUT_VARIABLE maintainer OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    endif()
  endif()
endif()
if(NOT maintainer)
  message(WARNING "No package maintainer: set PARVELA_MAINTAINER to build a Debian package")
endif()

# What every Debian package carries in its documentation folder: the copyright file
# and the changelog. The version has no Debian revision, so the package is a native
# one, whose changelog is changelog.gz (changelog.Debian.gz is for packages of
# another's sources). Its date is the build's, or SOURCE_DATE_EPOCH's.
if(UNIX AND NOT APPLE)
  set(PARVELA_CHANGELOG_MAINTAINER "${maintainer}")
  string(TIMESTAMP PARVELA_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
  set(changelog ${PROJECT_BINARY_DIR}/debian/changelog)
  configure_file(data/debian/changelog.in ${changelog} @ONLY)
  add_custom_command(OUTPUT ${changelog}.gz
    COMMAND gzip -9nkf ${changelog}
    DEPENDS ${changelog}
    COMMENT "Compressing the package's changelog"
    VERBATIM)
  add_custom_target(package_changelog ALL DEPENDS ${changelog}.gz)
  install(FILES ${changelog}.gz data/debian/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${PARVELA_PACKAGE})
endif()

set(CPACK_PACKAGE_NAME ${PARVELA_PACKAGE})
set(CPACK_PACKAGE_VENDOR "Trovik")
set(CPACK_PACKAGE_CONTACT "${maintainer}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "send large files and folders to other people without e-mail")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Parvela Client is a desktop wizard that hands files and folders too large for"
  "e-mail to a Parvela server: the user picks them, names recipients, writes a"
  "subject and a message, and chooses how long the transfer stays available and"
  "whether it is encrypted or self-extracting. The client writes the transfer as a"
  "job into the upload folder that the server watches, keeps a record of the jobs"
  "sent and tells when the server has taken one. The command-line tool parvela"
  "writes the same jobs, lists the jobs of an upload folder and the jobs sent.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.trovik.example/")
set(CPACK_STRIP_FILES ON)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/PackageFolders.cmake)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # parvela-client_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON) # the Qt and C++ libraries it links, found by dpkg-shlibdeps
# Qt loads its SQLite driver, which keeps the record of sent jobs, as a plugin: no
# library the programs link names it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite")
# Qt's own texts (file browser, standard buttons) in the five languages; without them
# those texts stay English.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)

# The package's file list, its desktop entry and metadata, checked on every test run.
if(PARVELA_TESTS AND UNIX AND NOT APPLE)
  add_test(NAME package_files
           COMMAND ${PROJECT_SOURCE_DIR}/tests/package/check-package ${PROJECT_BINARY_DIR} ${PROJECT_VERSION})
  set_tests_properties(package_files PROPERTIES LABELS package TIMEOUT 300)
endif()
