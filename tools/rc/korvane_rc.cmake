# korvane_compile_resources(OUT_VAR SCRIPT script FUNCTION name
#                           [INCLUDE_DIRS dir...] [DEPENDS file-or-target...])
# Adds a build step that compiles SCRIPT with korvane_rc and sets OUT_VAR to
# the generated source, to be listed among a target's sources.
function(korvane_compile_resources out_var)
    cmake_parse_arguments(ARG "" "SCRIPT;FUNCTION" "INCLUDE_DIRS;DEPENDS" ${ARGN})
    get_filename_component(script ${ARG_SCRIPT} ABSOLUTE)
    get_filename_component(stem ${script} NAME_WE)
    set(out ${CMAKE_CURRENT_BINARY_DIR}/${stem}_resources.cpp)
    set(include_args)
    foreach(dir IN LISTS ARG_INCLUDE_DIRS)
        list(APPEND include_args -I ${dir})
    endforeach()
    add_custom_command(
        OUTPUT ${out}
        COMMAND korvane_rc ${script} -o ${out} --function ${ARG_FUNCTION} ${include_args}
        DEPENDS korvane_rc ${script} ${ARG_DEPENDS}
        COMMENT "Compiling resources ${stem}"
        VERBATIM)
    set(${out_var} ${out} PARENT_SCOPE)
endfunction()
