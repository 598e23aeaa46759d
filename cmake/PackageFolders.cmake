# Run by CPack on the staged files, before it makes the package: every folder gets
# mode 755. Install folders are made with mkdir, which the umask of whoever builds
# narrows; under 077 the package would install /usr/share/doc/parvela-client for root
# alone.
file(CHMOD_RECURSE "${CPACK_TEMPORARY_INSTALL_DIRECTORY}"
     DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                           WORLD_READ WORLD_EXECUTE)
