# The release, in build-release/: the Debian package, the tarball and the
# page, each named with the version, and SHA256SUMS over the three.
include(ExternalProject)
set(emscripten_toolchain /usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

# The page, built with Emscripten, and tested in Chromium against this
# build's programs.
set(page_dir ${CMAKE_BINARY_DIR}/page)
set(LOCKPROBE_PAGE ${page_dir}/web/lockprobe.html)
set(with_node_path ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
ExternalProject_Add(page_build
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${page_dir}
  CMAKE_COMMAND ${with_node_path} ${CMAKE_COMMAND}
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${emscripten_toolchain} -DCMAKE_BUILD_TYPE=Release
    -DLOCKPROBE_SIMD=OFF -DLOCKPROBE_BUILD_TESTS=OFF -DLOCKPROBE_BUILD_BENCH=OFF
    -DLOCKPROBE_NATIVE_DIR=${CMAKE_BINARY_DIR}
  BUILD_COMMAND ${with_node_path} ${CMAKE_COMMAND} --build ${page_dir} -j 2
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${LOCKPROBE_PAGE})
set(page_file ${CMAKE_BINARY_DIR}/${PROJECT_NAME}-${PROJECT_VERSION}.html)
add_custom_command(OUTPUT ${page_file}
  COMMAND ${CMAKE_COMMAND} -E copy ${LOCKPROBE_PAGE} ${page_file}
  DEPENDS page_build ${LOCKPROBE_PAGE})
add_custom_target(release_page ALL DEPENDS ${page_file})
add_test(NAME page_in_browser COMMAND ${CMAKE_CTEST_COMMAND} --test-dir ${page_dir} --output-on-failure)
set_tests_properties(page_in_browser PROPERTIES TIMEOUT 600)

# The programs again, linked statically and hardened as the .deb's are, for
# the tarball.
set(static_dir ${CMAKE_BINARY_DIR}/static)
ExternalProject_Add(static_build
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${static_dir}
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DLOCKPROBE_STATIC=ON -DLOCKPROBE_HARDEN=ON -DLOCKPROBE_BUILD_TESTS=OFF
    -DLOCKPROBE_BUILD_BENCH=OFF -DLOCKPROBE_PAGE=${LOCKPROBE_PAGE}
    -DCMAKE_INSTALL_PREFIX=${CMAKE_INSTALL_PREFIX}
  BUILD_COMMAND ${CMAKE_COMMAND} --build ${static_dir} -j 2
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  DEPENDS page_build)

set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VENDOR "the lockprobe authors")
set(CPACK_PACKAGE_CONTACT "the lockprobe authors <lockprobe@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "find deadlocks in a resource-allocation graph")
set(CPACK_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION}-Linux-${CMAKE_SYSTEM_PROCESSOR})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_GENERATOR DEB TGZ)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The desktop entry opens the page in the user's browser with sensible-browser.
set(CPACK_DEBIAN_PACKAGE_DEPENDS sensible-utils)
# holddraw writes what Graphviz's dot draws.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS graphviz)
file(READ description.txt CPACK_PACKAGE_DESCRIPTION)
# Read by CPack for each package: the commit's date, and the static build for the tarball.
set(source_date_epoch $ENV{SOURCE_DATE_EPOCH})
configure_file(cpack_options.cmake.in cpack_options.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_BINARY_DIR}/cpack_options.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/checksums.cmake)
include(CPack)
