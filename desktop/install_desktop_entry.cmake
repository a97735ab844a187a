# Runs at install time, so that Path= names the help folder under the prefix
# actually installed into (cmake --install --prefix).
set(folder "${CMAKE_INSTALL_PREFIX}/${korvane_datadir}/korvane")
if(IS_ABSOLUTE "${korvane_datadir}")
    set(folder "${korvane_datadir}/korvane")
endif()
set(KORVANE_HELP_FOLDER "${folder}")
configure_file("${korvane_entry_template}" "${korvane_entry_output}" @ONLY)
