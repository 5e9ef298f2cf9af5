# Installing KORVA for other projects: the public header, the static library (with the entry
# routine in it), a CMake package, the cross toolchain file and, on Linux, the runner and its
# helper, so a project writes
#     find_package(korva CONFIG REQUIRED)
#     target_link_libraries(my_program PRIVATE korva::korva)
# Only korva/korva.h is installed; the library's internal headers stay in the source tree.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# WinMain lives in libkorva.a, but nothing in a program refers to it until the C runtime's own
# library, which the linker reads after ours, so it would never be pulled in. Naming it as
# undefined up front brings it along. Only WIN32 programs get this: console programs (the tests,
# with their own main) must not drag in an entry routine that calls room_main.
# Microsoft's linker finds WinMain in the library by itself and knows no such option.
target_link_options(korva INTERFACE
    "$<$<AND:$<BOOL:$<TARGET_PROPERTY:WIN32_EXECUTABLE>>,$<NOT:$<CXX_COMPILER_ID:MSVC>>>:LINKER:--undefined=WinMain>")

set(KORVA_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/korva)

install(TARGETS korva EXPORT korvaTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${PROJECT_SOURCE_DIR}/korva/korva.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/korva)
install(EXPORT korvaTargets NAMESPACE korva:: DESTINATION ${KORVA_INSTALL_CMAKEDIR})

configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/korvaConfig.cmake.in
    ${CMAKE_CURRENT_BINARY_DIR}/korvaConfig.cmake
    INSTALL_DESTINATION ${KORVA_INSTALL_CMAKEDIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/korvaConfigVersion.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/korvaConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/korvaConfigVersion.cmake
              ${CMAKE_CURRENT_LIST_DIR}/KorvaReplayTest.cmake
        DESTINATION ${KORVA_INSTALL_CMAKEDIR})

# For build systems other than CMake. libkorva is only ever a static library, so the platform's
# libraries it needs belong in Libs (a plain --libs must link); Libs.private repeats them for
# tools that ask with --static.
configure_file(${CMAKE_CURRENT_LIST_DIR}/korva.pc.in ${CMAKE_CURRENT_BINARY_DIR}/korva.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/korva.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# A project cross-compiled on Linux configures with this installed copy of the toolchain; it
# finds the package beside it without being told where the prefix is.
install(FILES ${PROJECT_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake DESTINATION ${CMAKE_INSTALL_DATADIR}/korva)
if(CMAKE_CROSSCOMPILING AND CMAKE_HOST_UNIX)
    install(PROGRAMS ${PROJECT_SOURCE_DIR}/scripts/korva-run DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${PROJECT_SOURCE_DIR}/scripts/korva-wine.sh DESTINATION ${CMAKE_INSTALL_DATADIR}/korva)
    # The files korva-run --new writes.
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/scripts/starter DESTINATION ${CMAKE_INSTALL_DATADIR}/korva)
endif()
