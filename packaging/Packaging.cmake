# The Debian package: `make package` builds the Release tree and runs cpack,
# which writes tarvelin-ecg_<version>_amd64.deb into the build folder.
# Everything goes under /usr: programs in bin, the demonstration recording and
# the Spanish catalogues in share/tarvelin-ecg (where the installed program
# looks for them, see app/InstalledLayout), the menu entry, the icon, the man
# pages and the Debian documentation files.

set(TARVELIN_PACKAGE_MAINTAINER "Tarvelin <packaging@tarvelin.example>"
    CACHE STRING "Maintainer field of the Debian package")
set(PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)
set(PACKAGE_DATA share/tarvelin-ecg)

install(TARGETS tarvelin-ecg tarvelin-ecg-cli tarvelin-ecg-sim tarvelin-ecg-bench RUNTIME DESTINATION bin)
install(FILES ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/ecg500.dat DESTINATION ${PACKAGE_DATA})
install(FILES ${TARVELIN_QM_DIR}/TarvelinStressECG_es.qm ${TARVELIN_QM_DIR}/report_es.qm
        DESTINATION ${PACKAGE_DATA}/translations)
install(FILES ${PACKAGING_DIR}/tarvelin-ecg.desktop DESTINATION share/applications)
install(FILES ${PACKAGING_DIR}/tarvelin-ecg.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${PACKAGING_DIR}/copyright DESTINATION share/doc/tarvelin-ecg)

# Debian wants the changelog and the man pages compressed, without a time
# stamp in the gzip header (-n) so the package is reproducible.
set(PACKAGE_GZ_DIR ${CMAKE_BINARY_DIR}/packaging)
set(PACKAGE_GZ_FILES)
foreach(page tarvelin-ecg tarvelin-ecg-cli tarvelin-ecg-sim tarvelin-ecg-bench)
  list(APPEND PACKAGE_GZ_FILES man/${page}.1)
endforeach()
list(APPEND PACKAGE_GZ_FILES changelog)
set(PACKAGE_GZ_OUTPUTS)
foreach(file ${PACKAGE_GZ_FILES})
  set(output ${PACKAGE_GZ_DIR}/${file}.gz)
  get_filename_component(output_dir ${output} DIRECTORY)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${output_dir}
    COMMAND gzip -9n -c ${PACKAGING_DIR}/${file} > ${output}
    DEPENDS ${PACKAGING_DIR}/${file}
    VERBATIM)
  list(APPEND PACKAGE_GZ_OUTPUTS ${output})
endforeach()
add_custom_target(package-docs ALL DEPENDS ${PACKAGE_GZ_OUTPUTS})
install(DIRECTORY ${PACKAGE_GZ_DIR}/man/ DESTINATION share/man/man1 FILES_MATCHING PATTERN "*.1.gz")
install(FILES ${PACKAGE_GZ_DIR}/changelog.gz DESTINATION share/doc/tarvelin-ecg)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvelin-ecg)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "TRACE+STEP exercise stress test and resting ECG")
# cpack indents each line and turns an empty one into " ." itself.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Records the 12-lead ECG of a patient during an exercise stress test or a
resting ECG from a front end on a serial port (USB or Bluetooth), filters and
analyses it beat by beat, measures the ST segment, drives treadmills and
ergometers stage by stage, keeps each recording as a study and prints
reports.

Includes tarvelin-ecg-cli (headless analysis, studies, rendering and
reports), tarvelin-ecg-sim (synthetic recordings and device simulators),
tarvelin-ecg-bench and a demonstration recording the program replays until
a device is configured. Serial ports need membership of the dialout group.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TARVELIN_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_FILE_NAME "tarvelin-ecg_${PROJECT_VERSION}_amd64.deb")
# Libraries the programs link come from dpkg-shlibdeps; what they load at run
# time must be named: the SQLite driver of the study index and Qt's own
# Spanish texts (qt_es).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt5sql5-sqlite, qttranslations5-l10n")
include(CPack)
