# Installing: `cmake --install build --prefix DIR` lays out the program folder in
# DIR/${FOLIVEX_PROGRAM_DIR} (programs, skin/ with cmd/, language/, task/), links the programs
# into DIR/bin, and puts the desktop entry and the icon under DIR/share so the desktop's menu
# shows Folivex; it installs folivex-get's manual page and bash completion, and a systemd user
# timer that checks the followed series daily (installed, never enabled: the user turns it on).
# A program folder the user can write (~/.local, ~/Apps/folivex) keeps the settings and tasks
# beside the programs; one that is not writable (/usr, /opt) keeps them in
# ~/.local/share/folivex/ (common/data_folder.h). scripts/package-deb builds the .deb from this.
# FOLIVEX_PROGRAM_DIR "." makes DIR itself the program folder.
set(FOLIVEX_PROGRAM_DIR "lib/folivex" CACHE STRING
    "Program folder inside the install prefix (relative)")

set(_folivex_programs Gantrell folivex-get)
if(TARGET Folivex)
  list(PREPEND _folivex_programs Folivex)
endif()
install(TARGETS ${_folivex_programs} RUNTIME DESTINATION ${FOLIVEX_PROGRAM_DIR})

# Skin, language and the folders the programs write into; the placeholder files stay behind.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/dist/ DESTINATION ${FOLIVEX_PROGRAM_DIR}
        PATTERN ".keep" EXCLUDE)
install(DIRECTORY DESTINATION ${FOLIVEX_PROGRAM_DIR}/task)
install(DIRECTORY DESTINATION ${FOLIVEX_PROGRAM_DIR}/skin/cmd)

install(FILES ${CMAKE_SOURCE_DIR}/packaging/folivex.svg
        DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${FOLIVEX_MAN_PAGE} DESTINATION share/man/man1)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/folivex-get.bash-completion
        DESTINATION share/bash-completion/completions RENAME folivex-get)
# The prefix's own systemd folder: /usr/lib/systemd/user, or ~/.local/lib/systemd/user, which
# the user manager does not read (link the units to ~/.config/systemd/user/ there).
install(FILES ${CMAKE_SOURCE_DIR}/packaging/folivex-check.timer DESTINATION lib/systemd/user)

# Links in bin/ and the desktop entry need the final prefix, known only at install time.
install(CODE "
  set(_root \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
  set(_programs \"\${CMAKE_INSTALL_PREFIX}/${FOLIVEX_PROGRAM_DIR}\")
  cmake_path(NORMAL_PATH _programs)
  file(MAKE_DIRECTORY \"\${_root}/bin\")
  foreach(_pair \"folivex-get;folivex-get\" \"Folivex;folivex\")
    list(GET _pair 0 _program)
    list(GET _pair 1 _link)
    if(EXISTS \"\$ENV{DESTDIR}\${_programs}/\${_program}\")
      file(RELATIVE_PATH _target \"\${CMAKE_INSTALL_PREFIX}/bin\" \"\${_programs}/\${_program}\")
      file(REMOVE \"\${_root}/bin/\${_link}\")
      file(CREATE_LINK \"\${_target}\" \"\${_root}/bin/\${_link}\" SYMBOLIC)
      message(STATUS \"Linking: \${_root}/bin/\${_link} -> \${_target}\")
    endif()
  endforeach()
  file(READ \"${CMAKE_SOURCE_DIR}/packaging/folivex-check.service.in\" _unit)
  string(REPLACE \"@FOLIVEX_GET@\" \"\${CMAKE_INSTALL_PREFIX}/bin/folivex-get\" _unit \"\${_unit}\")
  file(MAKE_DIRECTORY \"\${_root}/lib/systemd/user\")
  file(WRITE \"\${_root}/lib/systemd/user/folivex-check.service\" \"\${_unit}\")
  message(STATUS \"Installing: \${_root}/lib/systemd/user/folivex-check.service\")
  if(EXISTS \"\$ENV{DESTDIR}\${_programs}/Folivex\")
    file(READ \"${CMAKE_SOURCE_DIR}/packaging/folivex.desktop.in\" _entry)
    string(REPLACE \"@FOLIVEX_EXEC_QUOTED@\" \"\\\"\${_programs}/Folivex\\\"\" _entry \"\${_entry}\")
    string(REPLACE \"@FOLIVEX_EXEC@\" \"\${_programs}/Folivex\" _entry \"\${_entry}\")
    file(MAKE_DIRECTORY \"\${_root}/share/applications\")
    file(WRITE \"\${_root}/share/applications/folivex.desktop\" \"\${_entry}\")
    message(STATUS \"Installing: \${_root}/share/applications/folivex.desktop\")
  endif()
")
