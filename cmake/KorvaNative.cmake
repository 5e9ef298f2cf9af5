# The native build: the platform-free code under AddressSanitizer and UndefinedBehaviorSanitizer,
# its unit tests, and the fuzz targets (with clang's libFuzzer).

set(KORVA_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)

add_library(korva_platform_free STATIC ${KORVA_PLATFORM_FREE_SOURCES} ${ROOM_PLATFORM_FREE_SOURCES}
            ${TOOLS_PLATFORM_FREE_SOURCES})
target_include_directories(korva_platform_free PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_options(korva_platform_free PUBLIC ${KORVA_SANITIZE})
target_link_options(korva_platform_free PUBLIC ${KORVA_SANITIZE})
korva_warnings(korva_platform_free)

if(KORVA_BUILD_TESTS)
    add_subdirectory(tests)
    if(CMAKE_CXX_COMPILER_ID MATCHES "Clang" AND EXISTS ${PROJECT_SOURCE_DIR}/fuzz/CMakeLists.txt)
        add_subdirectory(fuzz)
    endif()
endif()
