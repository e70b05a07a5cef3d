# Copies dist/ into the build's program folder: cmake -DSOURCE=<dist> -DTARGET=<app> -P this.
# The user's own choices there (the current skin and language, the site host) are kept once
# they exist, so a rebuild never resets them; every other file follows the source.
file(GLOB_RECURSE files RELATIVE "${SOURCE}" "${SOURCE}/*")
foreach(file IN LISTS files)
  get_filename_component(name "${file}" NAME)
  if((name STREQUAL "current.ini" OR name STREQUAL "site.ini") AND EXISTS "${TARGET}/${file}")
    continue()
  endif()
  get_filename_component(folder "${TARGET}/${file}" DIRECTORY)
  file(MAKE_DIRECTORY "${folder}")
  file(COPY_FILE "${SOURCE}/${file}" "${TARGET}/${file}" ONLY_IF_DIFFERENT)
endforeach()
file(MAKE_DIRECTORY "${TARGET}/task" "${TARGET}/skin/cmd")
