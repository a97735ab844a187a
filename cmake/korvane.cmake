# Helpers shared by every folder's CMakeLists.txt.

add_library(korvane_warnings INTERFACE)
target_compile_options(korvane_warnings INTERFACE -Wall -Wextra -Werror)

# Each layer is reached through one include root of its own, a folder in the
# build holding links to the layer's folders, so that "win/core/window.h" names
# a file and a layer that has no root of a higher layer cannot include from it.
# A root brings the roots of the layers below it (program -> afx -> vfw -> win).
function(korvane_include_root name)
    cmake_parse_arguments(ARG "" "" "FOLDERS;USES" ${ARGN})
    set(root ${CMAKE_BINARY_DIR}/include_roots/${name})
    file(MAKE_DIRECTORY ${root})
    foreach(folder IN LISTS ARG_FOLDERS)
        if(NOT IS_DIRECTORY ${CMAKE_SOURCE_DIR}/${folder})
            message(FATAL_ERROR "include root ${name}: ${folder} does not exist")
        endif()
        get_filename_component(link ${folder} NAME)
        file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${root}/${link} SYMBOLIC)
    endforeach()
    add_library(korvane_root_${name} INTERFACE)
    target_include_directories(korvane_root_${name} INTERFACE ${root})
    target_link_libraries(korvane_root_${name} INTERFACE ${ARG_USES})
endfunction()

korvane_include_root(win FOLDERS platform/win USES platform_headers)
korvane_include_root(vfw FOLDERS platform/vfw USES korvane_root_win)
korvane_include_root(afx FOLDERS platform/afx USES korvane_root_vfw)
korvane_include_root(program FOLDERS app ui playback export controls res USES korvane_root_afx)
# Tests, benchmarks and tools share their helpers by path from the top; their
# folders link it to every target they make.
korvane_include_root(aside FOLDERS tests bench tools)

# The layer a library belongs to follows from its folder.
function(korvane_layer_of out)
    file(RELATIVE_PATH folder ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
    if(folder MATCHES "^platform/(win|vfw|afx)(/|$)")
        set(${out} ${CMAKE_MATCH_1} PARENT_SCOPE)
    elseif(folder MATCHES "^(app|ui|playback|export|controls|res)(/|$)")
        set(${out} program PARENT_SCOPE)
    else()
        message(FATAL_ERROR "${folder}: a library outside the layers")
    endif()
endfunction()

# Each library's folder, sources and links, one "<kind> <value>" a line, for
# tests/structure: a file may include another library's headers only when its
# own library links that one, and this record is where the links are read.
set(KORVANE_LIBRARIES_FILE ${CMAKE_BINARY_DIR}/korvane_libraries.txt)
file(WRITE ${KORVANE_LIBRARIES_FILE} "")

function(korvane_record_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;PUBLIC_DEPS" ${ARGN})
    file(RELATIVE_PATH folder ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
    set(record "library ${name}\nfolder ${folder}\n")
    foreach(source IN LISTS ARG_SOURCES)
        cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} NORMALIZE)
        cmake_path(IS_PREFIX CMAKE_SOURCE_DIR ${source} NORMALIZE in_tree)
        cmake_path(IS_PREFIX CMAKE_BINARY_DIR ${source} NORMALIZE generated)
        if(in_tree AND NOT generated)  # generated sources have no folder of the tree
            file(RELATIVE_PATH source ${CMAKE_SOURCE_DIR} ${source})
            string(APPEND record "source ${source}\n")
        endif()
    endforeach()
    foreach(kind IN ITEMS DEPS PUBLIC_DEPS)
        string(TOLOWER ${kind} word)
        foreach(dep IN LISTS ARG_${kind})
            string(APPEND record "${word} ${dep}\n")
        endforeach()
    endforeach()
    file(APPEND ${KORVANE_LIBRARIES_FILE} "${record}")
endfunction()

# korvane_library(NAME SOURCES ... [DEPS ...] [PUBLIC_DEPS ...])
function(korvane_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;PUBLIC_DEPS" ${ARGN})
    korvane_layer_of(layer)
    add_library(${name} STATIC ${ARG_SOURCES})
    target_link_libraries(${name} PUBLIC korvane_root_${layer} ${ARG_PUBLIC_DEPS}
                                  PRIVATE korvane_warnings ${ARG_DEPS})
    korvane_record_library(${name} ${ARGN})
endfunction()

# korvane_test(NAME LABELS ... SOURCES ... [DEPS ...] [TIMEOUT s])
function(korvane_test name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;DEPS;LABELS" ${ARGN})
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

# Adds every subfolder of the current folder. A subfolder holding sources
# but no CMakeLists.txt is an error, not a part quietly left out.
function(korvane_add_subfolders)
    file(GLOB entries LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
    foreach(dir IN LISTS entries)
        if(NOT IS_DIRECTORY ${dir})
            continue()
        endif()
        if(EXISTS ${dir}/CMakeLists.txt)
            add_subdirectory(${dir})
        else()
            file(GLOB_RECURSE sources ${dir}/*.cpp ${dir}/*.c)
            if(sources)
                message(FATAL_ERROR "${dir} holds sources but no CMakeLists.txt")
            endif()
        endif()
    endforeach()
endfunction()
