# Where `cmake --install` puts the programs and their files.
# On Windows, one folder holding everything: the student unzips it and runs
# arrasto.exe there, and the results are written beside it.
# Elsewhere, the usual tree: programs in bin/, the Notepad helper in the
# package's own libexec/arrasto/ (kept off the PATH, as "Notepad" is no
# common command there), documents and the example in share/doc/arrasto/.
if(WIN32)
  set(ARRASTO_INSTALL_BINDIR .)
  set(ARRASTO_INSTALL_DOCDIR .)
else()
  include(GNUInstallDirs)
  set(ARRASTO_INSTALL_BINDIR ${CMAKE_INSTALL_BINDIR})
  set(ARRASTO_INSTALL_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/arrasto)
  set(ARRASTO_INSTALL_LIBEXECDIR ${CMAKE_INSTALL_LIBEXECDIR}/arrasto)
endif()
