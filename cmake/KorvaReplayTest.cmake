# korva_add_replay_test: a recorded run of a program, registered with ctest like any other test.
# The test replays the recording with nobody at the keyboard (korva-replay; on Linux through
# korva-run, which gives it a display of its own) and passes when the program's final canvas
# equals the expected picture.
#
#   korva_add_replay_test(NAME name PROGRAM target SCRIPT recording.scr EXPECT expected.png
#                         [TOLERANCE pixels] [TIMEOUT seconds] [WORKING_DIRECTORY dir])
#
# A relative SCRIPT or EXPECT is taken from the current source folder. The program runs in
# WORKING_DIRECTORY, by default the current source folder (where the recording was made, and
# where a program finds the pictures and sounds it loads by relative name, as in a live run). A
# failed test leaves name.diff.png, the differing pixels in red, in the current build folder, and
# says how many pixels differ on its output (ctest --output-on-failure shows it). The expected
# picture is made once with korva-run --replay ... --update. The runner's own temporary folders go
# in korva-replay-tmp of the build folder.
#
# On Linux the replays of a project share one private display and one Wine server: ctest starts
# them before the first replay it runs (the test korva_replay_session_start) and stops them after
# the last (korva_replay_session_stop), in the folder korva-replay-session of the build folder,
# which also keeps their Wine prefix between runs. Several ctest runs at once share it; one that
# is interrupted leaves it to end by itself 30 seconds after its last replay.

# The session's start and stop, registered once per project.
function(korva_replay_session_tests)
    get_property(registered GLOBAL PROPERTY KORVA_REPLAY_SESSION_TESTS)
    if(registered OR CMAKE_HOST_WIN32)
        return()
    endif()
    set_property(GLOBAL PROPERTY KORVA_REPLAY_SESSION_TESTS ON)
    set(session ${CMAKE_BINARY_DIR}/korva-replay-session)
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/korva-replay-tmp)
    add_test(NAME korva_replay_session_start COMMAND ${KORVA_RUN_COMMAND} --start-session ${session})
    add_test(NAME korva_replay_session_stop COMMAND ${KORVA_RUN_COMMAND} --stop-session ${session})
    # Making the session's Wine prefix, the first time, takes a while.
    set_tests_properties(korva_replay_session_start PROPERTIES FIXTURES_SETUP korva_replay_session TIMEOUT 300)
    set_tests_properties(korva_replay_session_stop PROPERTIES FIXTURES_CLEANUP korva_replay_session TIMEOUT 60)
    set_tests_properties(korva_replay_session_start korva_replay_session_stop PROPERTIES
                         ENVIRONMENT "TMPDIR=${CMAKE_BINARY_DIR}/korva-replay-tmp;${KORVA_REPLAY_TEST_ENVIRONMENT}")
endfunction()

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
        korva_replay_session_tests()
        set(command ${KORVA_RUN_COMMAND} --replay ${script} --session ${CMAKE_BINARY_DIR}/korva-replay-session
                    ${options} $<TARGET_FILE:${arg_PROGRAM}>)
    endif()
    set(workdir ${CMAKE_CURRENT_SOURCE_DIR})
    if(arg_WORKING_DIRECTORY)
        get_filename_component(workdir ${arg_WORKING_DIRECTORY} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_BINARY_DIR})
    endif()
    add_test(NAME ${arg_NAME} COMMAND ${command} WORKING_DIRECTORY ${workdir})
    # The replay's own limit, and room for starting the display and Wine around it.
    math(EXPR ctest_timeout "${timeout} + 120")
    set_tests_properties(${arg_NAME} PROPERTIES TIMEOUT ${ctest_timeout})
    if(NOT CMAKE_HOST_WIN32)
        set_tests_properties(${arg_NAME} PROPERTIES FIXTURES_REQUIRED korva_replay_session ENVIRONMENT
                             "TMPDIR=${CMAKE_BINARY_DIR}/korva-replay-tmp;${KORVA_REPLAY_TEST_ENVIRONMENT}")
    elseif(KORVA_REPLAY_TEST_ENVIRONMENT)
        set_tests_properties(${arg_NAME} PROPERTIES ENVIRONMENT "${KORVA_REPLAY_TEST_ENVIRONMENT}")
    endif()
endfunction()
