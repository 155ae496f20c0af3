# Read by CPack before each generator runs: the .deb installs the `debian`
# component of the build's install rules, every archive the `portable` one.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(component debian)
else()
  set(component portable)
endif()
list(GET CPACK_INSTALL_CMAKE_PROJECTS 0 buildDir)
set(CPACK_INSTALL_CMAKE_PROJECTS "${buildDir};bench;${component};/")
