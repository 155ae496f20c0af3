# Run by CPack after it staged a package's files and before it packs them.
#
# A cross build's .deb: dpkg-shlibdeps finds the program's libraries in the
# cross toolchain's folder, whose packages (libc6-arm64-cross, ...) state in
# their shlibs and symbols files which of the target's packages provide them
# ("libc6:arm64 (>= 2.36)", "libgcc-s1-arm64-cross (>= 3.0)"). On the target
# those are the plain names, so the architecture qualifier and the "-cross"
# suffix go. These files give no version for libstdc++6; every Debian or
# Ubuntu release with the libc6 they require has a libstdc++6 new enough.
#
# A native .deb is left to CPack, which runs dpkg-shlibdeps itself.
if(NOT CPACK_GENERATOR STREQUAL "DEB" OR NOT CPACK_BENCH_CROSS_LIBRARIES)
  return()
endif()

set(work "${CPACK_TOPLEVEL_DIRECTORY}/shlibdeps")
file(REMOVE_RECURSE "${work}")
# dpkg-shlibdeps wants to run in a source package's folder.
file(WRITE "${work}/debian/control" "")
execute_process(COMMAND dpkg-shlibdeps -O -l${CPACK_BENCH_CROSS_LIBRARIES}
                        ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/bin/bench
                WORKING_DIRECTORY "${work}"
                OUTPUT_VARIABLE found
                ERROR_VARIABLE errors
                RESULT_VARIABLE status
                OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT status EQUAL 0 OR NOT found MATCHES "^shlibs:Depends=(.+)$")
  message(FATAL_ERROR "dpkg-shlibdeps failed on the cross-built bench: ${errors}")
endif()
string(REGEX REPLACE "(:${CPACK_DEBIAN_PACKAGE_ARCHITECTURE}|-${CPACK_DEBIAN_PACKAGE_ARCHITECTURE}-cross)"
                     "" CPACK_DEBIAN_PACKAGE_DEPENDS "${CMAKE_MATCH_1}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
message(STATUS "bench: the cross-built .deb depends on ${CPACK_DEBIAN_PACKAGE_DEPENDS}")
