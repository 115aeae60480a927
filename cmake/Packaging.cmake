# Installs the two programs with their desktop entry, icons, manual pages and guide, and
# makes the Debian package (cpack -G DEB, or scripts/package).
include(GNUInstallDirs)

set(marlo_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/marlo-consola)
set(marlo_packaging ${PROJECT_SOURCE_DIR}/packaging)
set(marlo_generated ${PROJECT_BINARY_DIR}/packaging)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

find_program(GZIP_PROGRAM gzip REQUIRED)

# Debian wants manual pages and the changelog compressed, with no name or time stamp inside.
function(marlo_gzipped source output)
  configure_file(${source} ${marlo_generated}/${output} @ONLY)
  add_custom_command(OUTPUT ${marlo_generated}/${output}.gz
                     COMMAND ${GZIP_PROGRAM} -9nkf ${marlo_generated}/${output}
                     DEPENDS ${marlo_generated}/${output} VERBATIM)
  set(marlo_gzipped_files ${marlo_gzipped_files} ${marlo_generated}/${output}.gz PARENT_SCOPE)
endfunction()

marlo_gzipped(${marlo_packaging}/marlo-consola.1.in marlo-consola.1)
marlo_gzipped(${marlo_packaging}/marlo-sim.1.in marlo-sim.1)
marlo_gzipped(${marlo_packaging}/changelog.in changelog)
add_custom_target(marlo_packaging_files ALL DEPENDS ${marlo_gzipped_files})

install(TARGETS marlo-consola marlo-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${marlo_packaging}/marlo-consola.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 48 256)
  install(FILES ${marlo_packaging}/icons/marlo-consola-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME marlo-consola.png)
endforeach()
install(FILES ${marlo_packaging}/icons/marlo-consola.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${marlo_generated}/marlo-consola.1.gz ${marlo_generated}/marlo-sim.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${marlo_packaging}/copyright ${marlo_generated}/changelog.gz
              ${PROJECT_SOURCE_DIR}/docs/operator-guide.md
        DESTINATION ${marlo_doc_dir})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/images DESTINATION ${marlo_doc_dir}
        FILES_MATCHING PATTERN "*.png")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME marlo-consola)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "QUELMAR Ingeniería")
set(CPACK_PACKAGE_CONTACT "QUELMAR Ingeniería <soporte@quelmar.es>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "operator console of the Marlo 3 and Tervan robots")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "The operator drives a Marlo 3 or Tervan inspection and cleaning robot over a\n"
       "serial line from the keyboard, a game controller or the controls of the\n"
       "window, watches its camera live and processed, takes still pictures, records\n"
       "video and reads the robot's temperature and humidity. The interface is in\n"
       "Spanish or English. marlo-sim, a robot simulator on a pseudo-terminal, comes\n"
       "with it.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The capture and MP4 recording pipelines' elements are plugins loaded at run time, which
# shlibdeps cannot see; x264enc is in plugins-ugly.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "gstreamer1.0-plugins-base (>= 1.22), gstreamer1.0-plugins-good (>= 1.22), gstreamer1.0-plugins-ugly (>= 1.22), gstreamer1.0-libav (>= 1.22)")
include(CPack)
