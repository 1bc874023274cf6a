# Run by CPack after each package it makes: once the .deb, the tarball and
# the page are all there, writes SHA256SUMS over them, as sha256sum writes.
# The package just made may still lie in CPack's staging folder.
set(names ${CPACK_PACKAGE_NAME}_${CPACK_PACKAGE_VERSION}_amd64.deb
  ${CPACK_PACKAGE_FILE_NAME}.tar.gz ${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}.html)
set(sums "")
foreach(name IN LISTS names)
  set(path ${CPACK_PACKAGE_DIRECTORY}/${name})
  foreach(made IN LISTS CPACK_PACKAGE_FILES)
    get_filename_component(made_name ${made} NAME)
    if(made_name STREQUAL name)
      set(path ${made})
    endif()
  endforeach()
  if(NOT EXISTS ${path})
    return()
  endif()
  file(SHA256 ${path} sum)
  string(APPEND sums "${sum}  ${name}\n")
endforeach()
file(WRITE ${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS "${sums}")
