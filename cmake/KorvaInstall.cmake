# Installing KORVA for other projects: the public header, the static library (with the entry
# routine in it) and a CMake package, so a project writes
#     find_package(korva CONFIG REQUIRED)
#     target_link_libraries(my_program PRIVATE korva::korva)
# Only korva/korva.h is installed; the library's internal headers stay in the source tree.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# WinMain lives in libkorva.a, but nothing in a program refers to it until the C runtime's own
# library, which the linker reads after ours, so it would never be pulled in. Naming it as
# undefined up front brings it along. Only WIN32 programs get this: console programs (the tests,
# with their own main) must not drag in an entry routine that calls room_main.
target_link_options(korva INTERFACE
    "$<$<BOOL:$<TARGET_PROPERTY:WIN32_EXECUTABLE>>:LINKER:--undefined=WinMain>")

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
        DESTINATION ${KORVA_INSTALL_CMAKEDIR})

# The package as another project sees it: install into a private prefix, build tests/consumer
# against it with the cross toolchain and run the program under Wine.
if(KORVA_BUILD_TESTS AND CMAKE_CROSSCOMPILING)
    set(KORVA_CONSUMER_WORKDIR ${CMAKE_BINARY_DIR}/tests/run/consumer)
    file(MAKE_DIRECTORY ${KORVA_CONSUMER_WORKDIR})
    add_test(NAME package_consumer
             COMMAND bash ${PROJECT_SOURCE_DIR}/tests/consumer_test.sh ${KORVA_WINE_SESSION}
                     ${CMAKE_BINARY_DIR} ${KORVA_CONSUMER_WORKDIR} ${PROJECT_SOURCE_DIR})
    set_tests_properties(package_consumer PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 300)
endif()
