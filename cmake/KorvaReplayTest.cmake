# korva_add_replay_test: a recorded run of a program, registered with ctest like any other test.
# The test replays the recording with nobody at the keyboard (korva-replay; on Linux through
# korva-run, which gives it a display of its own) and passes when the program's final canvas
# equals the expected picture.
#
#   korva_add_replay_test(NAME name PROGRAM target SCRIPT recording.scr EXPECT expected.png
#                         [TOLERANCE pixels] [TIMEOUT seconds] [WORKING_DIRECTORY dir])
#
# A relative SCRIPT or EXPECT is taken from the current source folder. The program runs in
# WORKING_DIRECTORY, by default the folder it is built in (where its pictures are copied), as a
# live run would. A failed test leaves name.diff.png, the differing pixels in red, in the current
# build folder. The expected picture is made once with korva-run --replay ... --update.
function(korva_add_replay_test)
    cmake_parse_arguments(PARSE_ARGV 0 arg "" "NAME;PROGRAM;SCRIPT;EXPECT;TOLERANCE;TIMEOUT;WORKING_DIRECTORY" "")
    foreach(required NAME PROGRAM SCRIPT EXPECT)
        if(NOT arg_${required})
            message(FATAL_ERROR "korva_add_replay_test: ${required} is missing")
        endif()
    endforeach()
    if(arg_UNPARSED_ARGUMENTS)
        message(FATAL_ERROR "korva_add_replay_test(${arg_NAME}): unknown arguments ${arg_UNPARSED_ARGUMENTS}")
    endif()
    if(NOT TARGET ${arg_PROGRAM})
        message(FATAL_ERROR "korva_add_replay_test(${arg_NAME}): PROGRAM ${arg_PROGRAM} is no target of this project")
    endif()
    get_filename_component(script ${arg_SCRIPT} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    get_filename_component(expect ${arg_EXPECT} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    if(NOT EXISTS ${script})
        message(FATAL_ERROR "korva_add_replay_test(${arg_NAME}): no script ${script}")
    endif()
    if(NOT EXISTS ${expect})
        message(FATAL_ERROR "korva_add_replay_test(${arg_NAME}): no expected picture ${expect}; make it with "
                            "korva-run --replay ${arg_SCRIPT} --update --expect ${arg_EXPECT} PROGRAM.exe")
    endif()
    foreach(number TOLERANCE TIMEOUT)
        if(DEFINED arg_${number} AND NOT arg_${number} MATCHES "^[0-9]+$")
            message(FATAL_ERROR "korva_add_replay_test(${arg_NAME}): ${number} must be a whole number, not '${arg_${number}}'")
        endif()
    endforeach()

    set(options --expect ${expect} --diff ${CMAKE_CURRENT_BINARY_DIR}/${arg_NAME}.diff.png)
    if(DEFINED arg_TOLERANCE)
        list(APPEND options --tolerance ${arg_TOLERANCE})
    endif()
    set(timeout 60)
    if(DEFINED arg_TIMEOUT)
        set(timeout ${arg_TIMEOUT})
        list(APPEND options --timeout ${arg_TIMEOUT})
    endif()
    if(CMAKE_HOST_WIN32)
        set(command ${KORVA_REPLAY_COMMAND} ${options} $<TARGET_FILE:${arg_PROGRAM}> ${script})
    else()
        set(command ${KORVA_RUN_COMMAND} --replay ${script} ${options} $<TARGET_FILE:${arg_PROGRAM}>)
    endif()
    set(workdir $<TARGET_FILE_DIR:${arg_PROGRAM}>)
    if(arg_WORKING_DIRECTORY)
        get_filename_component(workdir ${arg_WORKING_DIRECTORY} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_BINARY_DIR})
    endif()
    add_test(NAME ${arg_NAME} COMMAND ${command} WORKING_DIRECTORY ${workdir})
    # The replay's own limit, and room for starting the display and Wine around it.
    math(EXPR ctest_timeout "${timeout} + 120")
    set_tests_properties(${arg_NAME} PROPERTIES TIMEOUT ${ctest_timeout})
    if(KORVA_REPLAY_TEST_ENVIRONMENT)
        set_tests_properties(${arg_NAME} PROPERTIES ENVIRONMENT "${KORVA_REPLAY_TEST_ENVIRONMENT}")
    endif()
endfunction()
