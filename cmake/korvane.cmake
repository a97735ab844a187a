# Helpers shared by every folder's CMakeLists.txt.

add_library(korvane_warnings INTERFACE)
target_compile_options(korvane_warnings INTERFACE -Wall -Wextra -Werror)

# Several people work in one tree: a folder whose CMakeLists names a file
# that is not written yet is left out with a warning, so the others can
# still configure. test.sh turns this off: there every named file must exist.
option(KORVANE_STRICT_SOURCES "Fail when a listed source file is missing" OFF)

function(korvane_existing_sources out name)
    set(found)
    foreach(src IN LISTS ARGN)
        if(IS_ABSOLUTE ${src} OR EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${src} OR KORVANE_STRICT_SOURCES
           OR src MATCHES "^\\$<" OR src MATCHES "^${CMAKE_CURRENT_BINARY_DIR}")
            list(APPEND found ${src})
        else()
            message(WARNING "${name}: ${src} does not exist yet; leaving ${name} out")
            set(${out} "" PARENT_SCOPE)
            return()
        endif()
    endforeach()
    set(${out} ${found} PARENT_SCOPE)
endfunction()

# korvane_library(NAME SOURCES ... [DEPS ...] [PUBLIC_DEPS ...])
function(korvane_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;PUBLIC_DEPS" ${ARGN})
    korvane_existing_sources(ARG_SOURCES ${name} ${ARG_SOURCES})
    if(NOT ARG_SOURCES)
        return()
    endif()
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC platform_headers ${ARG_PUBLIC_DEPS}
                                  PRIVATE korvane_warnings ${ARG_DEPS})
endfunction()

# korvane_test(NAME LABELS ... SOURCES ... [DEPS ...] [TIMEOUT s])
function(korvane_test name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;DEPS;LABELS" ${ARGN})
    korvane_existing_sources(ARG_SOURCES ${name} ${ARG_SOURCES})
    if(NOT ARG_SOURCES)
        return()
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE korvane_warnings ${ARG_DEPS}
                                          GTest::gtest GTest::gtest_main)
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}" TIMEOUT ${ARG_TIMEOUT}
                         WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()
