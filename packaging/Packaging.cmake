# Installation and the Debian package.
#
# `cmake --install build --prefix DIR` lays out DIR as the program's folder: the editor,
# paperconv, the .xls helper, TypeInfo.con, the help file when built, and test_papers/.
# The .deb puts that folder at PAPEREDIT_PACKAGE_FOLDER and adds what only a system-wide
# installation needs (menu entry, icons, commands on the PATH, manual pages, copyright
# and changelog) from the component `desktop`, which a plain `cmake --install` leaves out.

# Debian's place for a program's private files; the package manager owns it, so an
# installation by hand without --prefix goes to /opt/paperedit instead.
set(PAPEREDIT_PACKAGE_FOLDER /usr/lib/paperedit)
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(CMAKE_INSTALL_PREFIX /opt/paperedit CACHE PATH "Install prefix" FORCE)
endif()
set(PAPEREDIT_PACKAGE_VERSION ${PROJECT_VERSION})

# The program folder. The editor finds TypeInfo.con, paperxlsread, paperedit.chm and
# test_papers beside its own executable, so everything lands in one folder.
install(TARGETS paperedit paperconv paperxlsread RUNTIME DESTINATION . COMPONENT program)
# paperconv's modules, which it loads from beside itself.
install(TARGETS paperconv-workbooks paperconv-print LIBRARY DESTINATION . COMPONENT program)
install(FILES ${PAPEREDIT_PROGRAM_DIR}/TypeInfo.con DESTINATION . COMPONENT program)
install(FILES ${PAPEREDIT_PROGRAM_DIR}/paperedit.chm DESTINATION . COMPONENT program OPTIONAL)
# An empty folder: exports the developer wrote into build/bin/test_papers stay behind.
install(DIRECTORY DESTINATION test_papers COMPONENT program)

# The launcher's icon as SVG, and drawn at the sizes desktops look for first.
set(PAPEREDIT_ICON_SVG ${CMAKE_CURRENT_LIST_DIR}/paperedit.svg)
add_executable(render_icon ${CMAKE_CURRENT_LIST_DIR}/render_icon.cpp)
target_link_libraries(render_icon PRIVATE Qt6::Gui)
set(icon_pngs)
foreach(size 48 64)
  set(png ${CMAKE_BINARY_DIR}/packaging/icons/${size}/paperedit.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging/icons/${size}
    COMMAND render_icon ${PAPEREDIT_ICON_SVG} ${png} ${size}
    DEPENDS render_icon ${PAPEREDIT_ICON_SVG}
    COMMENT "Drawing the ${size}x${size} launcher icon"
    VERBATIM)
  list(APPEND icon_pngs ${png})
  install(FILES ${png} DESTINATION /usr/share/icons/hicolor/${size}x${size}/apps
          COMPONENT desktop EXCLUDE_FROM_ALL)
endforeach()
add_custom_target(paperedit_icons ALL DEPENDS ${icon_pngs})

install(FILES ${PAPEREDIT_ICON_SVG} DESTINATION /usr/share/icons/hicolor/scalable/apps
        COMPONENT desktop EXCLUDE_FROM_ALL)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/paperedit.desktop DESTINATION /usr/share/applications
        COMPONENT desktop EXCLUDE_FROM_ALL)

# paperedit and paperconv on the PATH: relative links into the program folder. The
# editor still finds its folder, since it asks for the path of its executable (which
# the kernel gives with every link resolved), not of the link.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging/usr-bin)
foreach(program paperedit paperconv)
  file(RELATIVE_PATH target /usr/bin ${PAPEREDIT_PACKAGE_FOLDER}/${program})
  file(CREATE_LINK ${target} ${CMAKE_BINARY_DIR}/packaging/usr-bin/${program} SYMBOLIC)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/usr-bin/${program} DESTINATION /usr/bin
          COMPONENT desktop EXCLUDE_FROM_ALL)
endforeach()

# The manual pages and the changelog, compressed as Debian wants them (-n: no name or
# time stamp inside, so the same sources give the same package), and the copyright file.
set(doc_dir ${CMAKE_BINARY_DIR}/packaging/doc)
find_program(GZIP_PROGRAM gzip REQUIRED)
set(compressed_docs)
function(paperedit_compressed_doc source name destination)
  configure_file(${source} ${doc_dir}/${name} @ONLY)
  add_custom_command(OUTPUT ${doc_dir}/${name}.gz
    COMMAND ${GZIP_PROGRAM} -9nf -k ${doc_dir}/${name}
    DEPENDS ${doc_dir}/${name}
    COMMENT "Compressing ${name}"
    VERBATIM)
  install(FILES ${doc_dir}/${name}.gz DESTINATION ${destination}
          COMPONENT desktop EXCLUDE_FROM_ALL)
  set(compressed_docs ${compressed_docs} ${doc_dir}/${name}.gz PARENT_SCOPE)
endfunction()
foreach(page paperedit.1 paperconv.1)
  paperedit_compressed_doc(${CMAKE_CURRENT_LIST_DIR}/man/${page} ${page} /usr/share/man/man1)
endforeach()
paperedit_compressed_doc(${CMAKE_CURRENT_LIST_DIR}/debian/changelog.in changelog
                         /usr/share/doc/paperedit)
add_custom_target(paperedit_docs ALL DEPENDS ${compressed_docs})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/copyright DESTINATION /usr/share/doc/paperedit
        COMPONENT desktop EXCLUDE_FROM_ALL)

# The Debian package: both components in one .deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME paperedit)
set(CPACK_PACKAGE_VENDOR "Test Paper Editor developers")
set(CPACK_PACKAGE_VERSION ${PAPEREDIT_PACKAGE_VERSION})
# A role address under a name reserved for examples (RFC 2606): the package names no
# real mailbox of anyone else.
set(CPACK_PACKAGE_CONTACT "Test Paper Editor developers <developers@paperedit.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Editor for multiple-choice test papers")
# Lines of at most 80 characters, as the control file's description wants them.
set(CPACK_PACKAGE_DESCRIPTION [=[
Writes test papers of up to 250 multiple-choice questions, each with its mark,
answer, time limit and options A to F, and exchanges them with .xls and .xlsx
workbooks and the formats of learning platforms. paperconv converts, prints and
exports papers from the command line.]=])
set(CPACK_PACKAGING_INSTALL_PREFIX ${PAPEREDIT_PACKAGE_FOLDER})
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL program desktop)
set(CPACK_COMPONENTS_ALL_IN_ONE_PACKAGE ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Libraries the programs link come from dpkg-shlibdeps; what they load at run time is
# listed here: Qt's SVG plugins draw the icons, the window's captions are laid out for
# Arial's widths, which the Liberation faces match, and printed papers in Chinese,
# Japanese or Korean take their glyphs from WenQuanYi Micro Hei.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, fonts-liberation, fonts-wqy-microhei")
# CPack (3.25) adds postinst and postrm scripts that run ldconfig for any .so under
# /usr/lib, paperconv's private modules too; lintian warns of them, harmlessly.
include(CPack)

# The installed folder works on its own (cheap enough for every test run).
if(BUILD_TESTING)
  add_test(NAME install_layout
    COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR}
            -DWORK_DIR=${CMAKE_BINARY_DIR}/install-layout-check
            -DSAMPLE_PAPER=${CMAKE_SOURCE_DIR}/tests/data/papers/standard_order.csv
            -P ${CMAKE_CURRENT_LIST_DIR}/CheckInstallLayout.cmake)
  # The menu entry as desktops read it, and the manual pages as man shows them.
  find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
  if(NOT DESKTOP_FILE_VALIDATE)
    message(WARNING "desktop-file-validate not found: desktop_entry_valid will fail until tools/install-deps.sh has run")
    set(DESKTOP_FILE_VALIDATE desktop-file-validate)
  endif()
  add_test(NAME desktop_entry_valid
    COMMAND ${DESKTOP_FILE_VALIDATE} ${CMAKE_CURRENT_LIST_DIR}/paperedit.desktop)
  # desktop-file-validate says what is wrong but may still exit 0 for some of it.
  set_tests_properties(desktop_entry_valid PROPERTIES FAIL_REGULAR_EXPRESSION "error:|warning:")
  foreach(page paperedit.1 paperconv.1)
    add_test(NAME manual_page_${page}
      COMMAND sh -c "warnings=$(groff -man -Tutf8 -ww -z \"$1\" 2>&1) || exit 1; [ -z \"$warnings\" ] || { echo \"$warnings\"; exit 1; }"
              _ ${doc_dir}/${page})
  endforeach()
endif()
