# GoogleTest for both builds: Debian's packaged library natively, the sources Debian ships in
# /usr/src/googletest for the cross build. Windows test executables run under Wine through
# CMAKE_CROSSCOMPILING_EMULATOR, with a private prefix inside the build tree.

if(CMAKE_CROSSCOMPILING)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
    # Google's sources are not ours to keep warning-free.
    foreach(t gtest gtest_main gmock gmock_main)
        if(TARGET ${t})
            target_compile_options(${t} PRIVATE -w)
        endif()
    endforeach()

    set(TEVRIX_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
    configure_file(${CMAKE_SOURCE_DIR}/scripts/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh
                   FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                    WORLD_READ WORLD_EXECUTE @ONLY)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
else()
    find_package(GTest REQUIRED)
    include(GoogleTest)
endif()

# The test programs that start threads: the ThreadSanitizer preset builds and runs only these.
add_custom_target(threaded_tests)

# tevrix_add_test(name SOURCES ... LIBS ... [LABELS ...])
# Natively every test case becomes a CTest test; under Wine one CTest test runs a whole executable,
# since each Wine start costs a second or more. Labels (one natively): `threads` for a program that
# starts threads, `soak` for the long random runs that `make check` leaves out.
function(tevrix_add_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} test_environment GTest::gtest GTest::gtest_main)
    if("threads" IN_LIST T_LABELS)
        add_dependencies(threaded_tests ${name})
    endif()
    if(CMAKE_CROSSCOMPILING)
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES LABELS "windows;${T_LABELS}"
                             ENVIRONMENT "TEVRIX_ARTIFACTS=${CMAKE_BINARY_DIR}/artifacts")
    else()
        # A search that a test does not point at its own ports tries none, never the machine's.
        set(labels "")
        if(T_LABELS)
            set(labels LABELS ${T_LABELS})
        endif()
        gtest_discover_tests(${name} DISCOVERY_TIMEOUT 30
                             PROPERTIES ENVIRONMENT "TEVRIX_ARTIFACTS=${CMAKE_BINARY_DIR}/artifacts"
                                        ENVIRONMENT_MODIFICATION "TEVRIX_PORTS=set:" ${labels})
    endif()
endfunction()
