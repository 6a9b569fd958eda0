# Finds or builds the build-host tools and sets, for each, the command to run it and what a
# custom command must depend on:
#   HELICOID_MESH_GENERATOR / HELICOID_MESH_GENERATOR_DEPENDS
#   HELICOID_ICON_MAKER     / HELICOID_ICON_MAKER_DEPENDS
# A packager may pass prebuilt tools with -DHELICOID_MESH_GENERATOR=... -DHELICOID_ICON_MAKER=...

set(HELICOID_MESH_GENERATOR "" CACHE FILEPATH "Prebuilt generate_mesh_tables for the build host")
set(HELICOID_ICON_MAKER "" CACHE FILEPATH "Prebuilt make_icon for the build host")

if(HELICOID_MESH_GENERATOR AND HELICOID_ICON_MAKER)
  set(HELICOID_MESH_GENERATOR_DEPENDS "${HELICOID_MESH_GENERATOR}")
  set(HELICOID_ICON_MAKER_DEPENDS "${HELICOID_ICON_MAKER}")
elseif(NOT CMAKE_CROSSCOMPILING)
  add_subdirectory("${CMAKE_SOURCE_DIR}/cmake/host-tools" "${CMAKE_BINARY_DIR}/host-tools")
  set(HELICOID_MESH_GENERATOR "$<TARGET_FILE:generate_mesh_tables>")
  set(HELICOID_MESH_GENERATOR_DEPENDS generate_mesh_tables)
  set(HELICOID_ICON_MAKER "$<TARGET_FILE:make_icon>")
  set(HELICOID_ICON_MAKER_DEPENDS make_icon)
else()
  # NOTE: a nested build with the host's own compiler; the cross toolchain is not passed on.
  include(ExternalProject)
  set(host_dir "${CMAKE_BINARY_DIR}/host-tools")
  ExternalProject_Add(host_tools
    SOURCE_DIR "${CMAKE_SOURCE_DIR}/cmake/host-tools"
    BINARY_DIR "${host_dir}"
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS "${host_dir}/generate_mesh_tables" "${host_dir}/make_icon")
  set(HELICOID_MESH_GENERATOR "${host_dir}/generate_mesh_tables")
  set(HELICOID_MESH_GENERATOR_DEPENDS "${HELICOID_MESH_GENERATOR}" host_tools)
  set(HELICOID_ICON_MAKER "${host_dir}/make_icon")
  set(HELICOID_ICON_MAKER_DEPENDS "${HELICOID_ICON_MAKER}" host_tools)
endif()
