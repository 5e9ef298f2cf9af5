# Warnings on, for every target of the project. The options are GCC's and Clang's; Microsoft's
# compiler gets its own level instead, so a Visual Studio configure sees no option it lacks.
# The Windows build is also held to standard C++ (-Wpedantic): any Windows compiler must take it.
function(korva_warnings target)
    target_compile_options(${target} PRIVATE
        $<$<CXX_COMPILER_ID:GNU,Clang>:-Wall -Wextra>
        $<$<AND:$<CXX_COMPILER_ID:GNU,Clang>,$<PLATFORM_ID:Windows>>:-Wpedantic>
        $<$<CXX_COMPILER_ID:MSVC>:/W3>)
endfunction()
