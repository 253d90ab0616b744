# The browser apps: TypeScript built with esbuild from node_modules (npm ci
# in scripts/deps.sh) and embedded into qzt. Without them qzt serve keeps
# its placeholder pages.
set(QZT_WEB_ASSETS_SOURCE "")
find_program(QZT_NODE node)
set(QZT_ESBUILD ${PROJECT_SOURCE_DIR}/node_modules/esbuild/package.json)
if(QZT_NODE AND EXISTS ${QZT_ESBUILD})
  set(QZT_WEB_DIST ${CMAKE_BINARY_DIR}/web/dist)
  set(QZT_WEB_ASSETS_SOURCE ${CMAKE_BINARY_DIR}/web/web_assets.cpp)
  file(GLOB_RECURSE QZT_WEB_INPUTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/web/src/*)
  add_custom_command(
    OUTPUT ${QZT_WEB_ASSETS_SOURCE}
    COMMAND ${QZT_NODE} ${PROJECT_SOURCE_DIR}/web/build.mjs ${QZT_WEB_DIST}
    COMMAND ${CMAKE_COMMAND} -DDIST=${QZT_WEB_DIST} -DOUT=${QZT_WEB_ASSETS_SOURCE} -P ${PROJECT_SOURCE_DIR}/web/embed.cmake
    DEPENDS ${QZT_WEB_INPUTS} ${PROJECT_SOURCE_DIR}/web/build.mjs ${PROJECT_SOURCE_DIR}/web/embed.cmake ${QZT_ESBUILD}
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    COMMENT "Building and embedding the browser apps"
    VERBATIM)
else()
  message(STATUS "node or node_modules/esbuild missing: qzt serve gets placeholder pages (run scripts/deps.sh)")
endif()
