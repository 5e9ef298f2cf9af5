# Which sources make up each target. The platform-free files build natively as well,
# for the sanitizer tests and the fuzzer; they must not include <windows.h>.
set(KORVA_PLATFORM_FREE_SOURCES
    korva/base/heroes.cpp
    korva/platform/key_codes.cpp
    korva/platform/bmp_image.cpp
    korva/draw/colors.cpp
    korva/draw/exact_pixels.cpp
    korva/draw/geometry.cpp
    korva/console/console_ring.cpp
    korva/console/dialog_template.cpp
    korva/extras/collision.cpp
    korva/extras/picture_placement.cpp
    korva/extras/wave_file.cpp
    korva/extras/random_numbers.cpp
    korva/platform/script_line.cpp
    korva/platform/shown_path.cpp
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

# Everything else in korva/ needs the platform. The platform layer (korva/platform: image codec,
# BMP reading, file replacement, script lines, key tables) is compiled once, for the library
# and the tools alike.
file(GLOB KORVA_ALL_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/korva/*/*.cpp)
file(GLOB KORVA_PLATFORM_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/korva/platform/*.cpp)
list(REMOVE_ITEM KORVA_ALL_SOURCES ${KORVA_PLATFORM_SOURCES})
file(GLOB ROOM_ALL_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/room/*.cpp)
list(TRANSFORM KORVA_PLATFORM_FREE_SOURCES PREPEND ${PROJECT_SOURCE_DIR}/)
list(TRANSFORM ROOM_PLATFORM_FREE_SOURCES PREPEND ${PROJECT_SOURCE_DIR}/)
list(TRANSFORM TOOLS_PLATFORM_FREE_SOURCES PREPEND ${PROJECT_SOURCE_DIR}/)
