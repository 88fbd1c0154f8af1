# Installation and the Debian package.
#
# `cmake --install build --prefix DIR` lays out DIR as the program's folder: the editor,
# paperconv, the .xls helper, TypeInfo.con, the help file when built, and test_papers/.
# The .deb puts that folder at PAPEREDIT_PACKAGE_FOLDER and adds what only a system-wide
# installation needs (menu entry, icons, commands on the PATH) from the component
# `desktop`, which a plain `cmake --install` leaves out.

set(PAPEREDIT_PACKAGE_FOLDER /opt/paperedit CACHE PATH
    "Program folder the Debian package installs into")
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(CMAKE_INSTALL_PREFIX ${PAPEREDIT_PACKAGE_FOLDER} CACHE PATH "Install prefix" FORCE)
endif()

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

# paperedit and paperconv on the PATH: links into the program folder. The editor still
# finds its folder, since it asks for the path of its executable, not of the link.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging/usr-bin)
foreach(program paperedit paperconv)
  file(CREATE_LINK ${PAPEREDIT_PACKAGE_FOLDER}/${program}
       ${CMAKE_BINARY_DIR}/packaging/usr-bin/${program} SYMBOLIC)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/usr-bin/${program} DESTINATION /usr/bin
          COMPONENT desktop EXCLUDE_FROM_ALL)
endforeach()

# The Debian package: both components in one .deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME paperedit)
set(CPACK_PACKAGE_VENDOR "paperedit developers")
set(CPACK_PACKAGE_CONTACT "paperedit developers <paperedit@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Editor for multiple-choice test papers")
set(CPACK_PACKAGE_DESCRIPTION
    "Writes test papers of up to 250 multiple-choice questions, each with its mark, answer, time limit and options A to F, and exchanges them with .xls and .xlsx workbooks. paperconv converts papers and workbooks from the command line.")
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
include(CPack)

# The installed folder works on its own (cheap enough for every test run).
if(BUILD_TESTING)
  add_test(NAME install_layout
    COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR}
            -DWORK_DIR=${CMAKE_BINARY_DIR}/install-layout-check
            -DSAMPLE_PAPER=${CMAKE_SOURCE_DIR}/tests/data/papers/standard_order.csv
            -P ${CMAKE_CURRENT_LIST_DIR}/CheckInstallLayout.cmake)
endif()
