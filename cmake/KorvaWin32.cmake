# The Windows build: the library, the room, and their tests, examples and benchmarks.

# The platform layer's objects go into the library itself, so the package stays one library;
# the tools link the same objects.
add_library(korva_platform OBJECT ${KORVA_PLATFORM_SOURCES})
target_include_directories(korva_platform PUBLIC ${PROJECT_SOURCE_DIR})
korva_warnings(korva_platform)

add_library(korva STATIC ${KORVA_ALL_SOURCES} $<TARGET_OBJECTS:korva_platform>)
add_library(korva::korva ALIAS korva)
target_include_directories(korva PUBLIC
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
    $<INSTALL_INTERFACE:include>)
# Pictures: the platform's imaging component (windowscodecs, through COM), its blend (msimg32)
# and, for turned pictures, its drawing of images (gdiplus).
target_link_libraries(korva PUBLIC user32 gdi32 kernel32 msimg32 gdiplus windowscodecs ole32 uuid)
korva_warnings(korva)
include(${CMAKE_CURRENT_LIST_DIR}/KorvaInstall.cmake)

# The room: everything but room_main goes into a library that the tests link as well.
set(ROOM_LIBRARY_SOURCES ${ROOM_ALL_SOURCES})
list(FILTER ROOM_LIBRARY_SOURCES EXCLUDE REGEX "/room_main\\.cpp$")
add_library(room_lib STATIC ${ROOM_LIBRARY_SOURCES})
target_include_directories(room_lib PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(room_lib PUBLIC korva)
korva_warnings(room_lib)

add_executable(room WIN32 ${PROJECT_SOURCE_DIR}/room/room_main.cpp)
target_link_libraries(room PRIVATE room_lib korva)
korva_warnings(room)

# The replay harness, a console program installed with the package.
add_subdirectory(tools)

# korva_add_replay_test in this tree: the runner from scripts/, the harness just built, and a Wine
# prefix of the build's own.
set(KORVA_RUN_COMMAND ${PROJECT_SOURCE_DIR}/scripts/korva-run)
set(KORVA_REPLAY_COMMAND $<TARGET_FILE:korva-replay>)
set(KORVA_REPLAY_TEST_ENVIRONMENT
    "KORVA_REPLAY_HARNESS=$<TARGET_FILE:korva-replay>;KORVA_WINEPREFIX=${CMAKE_BINARY_DIR}/korva-run-prefix")
include(${CMAKE_CURRENT_LIST_DIR}/KorvaReplayTest.cmake)

if(KORVA_BUILD_EXAMPLES AND EXISTS ${PROJECT_SOURCE_DIR}/examples/CMakeLists.txt)
    add_subdirectory(examples)
endif()
if(KORVA_BUILD_BENCH AND EXISTS ${PROJECT_SOURCE_DIR}/bench/CMakeLists.txt)
    add_subdirectory(bench)
endif()
if(KORVA_BUILD_TESTS)
    add_subdirectory(tests)
endif()
