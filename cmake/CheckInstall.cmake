# Installs the build into a staging folder, or lists the built package, and checks what lands where.
#   cmake -DBUILD=<build folder> -DWORK=<scratch folder> -DRELEASE=<B2D_RELEASE_NUMBER>
#         -P CheckInstall.cmake
#   cmake -DDEB=<package file> -P CheckInstall.cmake
# Without DEB: `cmake --install` with DESTDIR=WORK/root and prefix /usr. With DEB: the Debian
# package `make package` built (scripts/package-check.sh), listed with dpkg-deb.
if(NOT DEB)
  file(REMOVE_RECURSE ${WORK})
  file(MAKE_DIRECTORY ${WORK})
endif()

set(expected
    usr/bin/velmorab2d
    usr/bin/velmorab2d-cli
    usr/share/applications/velmorab2d.desktop
    usr/share/icons/hicolor/scalable/apps/velmorab2d.svg
    usr/share/doc/velmorab2d/README.md
    usr/share/doc/velmorab2d/copyright
    usr/share/doc/velmorab2d/changelog.gz
    usr/share/doc/velmorab2d/examples/connections-freetds.ini
    usr/share/doc/velmorab2d/examples/connections-dsn.ini
    usr/share/doc/velmorab2d/examples/odbcinst-freetds.ini
    usr/share/doc/velmorab2d/examples/odbc-dsn.ini
    etc/velmorab2d/version.ini)

if(DEB)
  execute_process(COMMAND dpkg-deb -c ${DEB} OUTPUT_VARIABLE listing RESULT_VARIABLE rc)
  execute_process(COMMAND dpkg-deb -f ${DEB} Depends OUTPUT_VARIABLE depends)
  execute_process(COMMAND dpkg-deb -f ${DEB} Recommends OUTPUT_VARIABLE recommends)
  execute_process(COMMAND dpkg-deb --ctrl-tarfile ${DEB} COMMAND tar -xOf - ./conffiles
                  OUTPUT_VARIABLE conffiles)
  foreach(f ${expected})
    if(NOT listing MATCHES " \\./${f}\n")
      message(FATAL_ERROR "the package lacks ${f}:\n${listing}")
    endif()
  endforeach()
  if(listing MATCHES "_tests|bench|\\.a\n")
    message(FATAL_ERROR "the package carries a test or build file:\n${listing}")
  endif()
  foreach(dep libqt6sql6-sqlite libqt6sql6-odbc qt6-qpa-plugins libxml2 libqt6widgets6)
    if(NOT depends MATCHES "(^|, )${dep}( |,|\n|$)")
      message(FATAL_ERROR "Depends lacks ${dep}: ${depends}")
    endif()
  endforeach()
  if(NOT recommends MATCHES "tdsodbc")
    message(FATAL_ERROR "Recommends lacks tdsodbc: ${recommends}")
  endif()
  if(NOT conffiles STREQUAL "/etc/velmorab2d/version.ini\n")
    message(FATAL_ERROR "unexpected conffiles: ${conffiles}")
  endif()
  return()
endif()

# `cmake --install` would leave its list of installed files in the build folder: the same install
# script runs from a copy that keeps the list in the scratch folder instead.
file(READ ${BUILD}/cmake_install.cmake script)
string(REPLACE "\"${BUILD}/\${CMAKE_INSTALL_MANIFEST}\"" "\"${WORK}/\${CMAKE_INSTALL_MANIFEST}\""
       moved "${script}")
if(moved STREQUAL script)
  message(FATAL_ERROR "no install manifest line for ${BUILD} in its cmake_install.cmake")
endif()
file(WRITE ${WORK}/cmake_install.cmake "${moved}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${WORK}/root
                        ${CMAKE_COMMAND} -DCMAKE_INSTALL_PREFIX=/usr -P ${WORK}/cmake_install.cmake
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed:\n${out}")
endif()
foreach(f ${expected})
  if(NOT EXISTS ${WORK}/root/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
foreach(program velmorab2d velmorab2d-cli)
  execute_process(COMMAND test -x ${WORK}/root/usr/bin/${program} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${program} is not executable")
  endif()
endforeach()
# Nothing outside /usr but the per-machine release file.
file(GLOB_RECURSE everything RELATIVE ${WORK}/root ${WORK}/root/*)
foreach(f ${everything})
  if(NOT f MATCHES "^usr/" AND NOT f STREQUAL "etc/velmorab2d/version.ini")
    message(FATAL_ERROR "installed outside /usr: ${f}")
  endif()
endforeach()
file(STRINGS ${WORK}/root/etc/velmorab2d/version.ini lines REGEX "=|\\[")
if(NOT lines STREQUAL "[Velmora];version=${RELEASE}")
  message(FATAL_ERROR "version.ini holds: ${lines}")
endif()
file(READ ${WORK}/root/usr/share/applications/velmorab2d.desktop desktop)
foreach(line "Exec=velmorab2d\n" "Icon=velmorab2d\n" "Type=Application\n")
  string(FIND "${desktop}" "${line}" at)
  if(at LESS 0)
    message(FATAL_ERROR "the desktop entry lacks ${line}")
  endif()
endforeach()
