# Which sources make up each target. The platform-free files build natively as well,
# for the sanitizer tests and the fuzzer; they must not include <windows.h>.
set(KORVA_PLATFORM_FREE_SOURCES
    korva/core/heroes.cpp
    korva/core/key_codes.cpp
    korva/draw/bmp_image.cpp
    korva/draw/colors.cpp
    korva/draw/exact_pixels.cpp
    korva/draw/geometry.cpp
    korva/console/console_ring.cpp
    korva/console/dialog_template.cpp
    korva/script/script_line.cpp
    korva/script/script_reader.cpp
)
# The replay harness's option reading and image comparison (tools/replay).
set(TOOLS_PLATFORM_FREE_SOURCES
    tools/replay/image_diff.cpp
    tools/replay/replay_options.cpp
    tools/replay/script_check.cpp
)
set(ROOM_PLATFORM_FREE_SOURCES
    room/doorways.cpp
    room/roster.cpp
)

# Everything else in korva/ needs the platform.
file(GLOB KORVA_ALL_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/korva/*/*.cpp)
file(GLOB ROOM_ALL_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/room/*.cpp)
list(TRANSFORM KORVA_PLATFORM_FREE_SOURCES PREPEND ${PROJECT_SOURCE_DIR}/)
list(TRANSFORM ROOM_PLATFORM_FREE_SOURCES PREPEND ${PROJECT_SOURCE_DIR}/)
list(TRANSFORM TOOLS_PLATFORM_FREE_SOURCES PREPEND ${PROJECT_SOURCE_DIR}/)
