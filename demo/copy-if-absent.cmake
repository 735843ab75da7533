# cmake -DSOURCE=<file> -DTARGET=<file> -P copy-if-absent.cmake
# Puts a starter file in place once. From then on the file is the program's (Diridu writes
# its settings there on exit), so a later build must not replace it.
if(NOT EXISTS "${TARGET}")
    get_filename_component(dir "${TARGET}" DIRECTORY)
    file(MAKE_DIRECTORY "${dir}")
    file(COPY_FILE "${SOURCE}" "${TARGET}")
endif()
