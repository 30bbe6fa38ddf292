# Read by cpack for each generator. Only the Debian package installs under /usr;
# the source archive keeps its files at the top.
if(CPACK_GENERATOR STREQUAL "DEB")
    set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
else()
    unset(CPACK_PACKAGING_INSTALL_PREFIX)
endif()
