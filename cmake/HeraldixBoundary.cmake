# The host boundary as a build rule. Every target sees on its include path only the folders it may
# include: each include root is a folder of the build tree holding links to those source folders. The
# plug-in's targets see host/, grammar/ and the plug-in folders, never sim/; the simulator's see host/,
# grammar/ and sim/, and the configuration checker config/ besides, which itself stands on host/ and grammar/.
# cmake/Layering.cmake checks the finer layering of every include among the tests.

# heraldix_include_root(<var> <name> <folder>...): makes the root and sets <var> to its path.
function(heraldix_include_root var name)
  set(root ${PROJECT_BINARY_DIR}/include/${name})
  file(REMOVE_RECURSE ${root})
  file(MAKE_DIRECTORY ${root})
  foreach(folder IN LISTS ARGN)
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  endforeach()
  set(${var} ${root} PARENT_SCOPE)
endfunction()

heraldix_include_root(HERALDIX_HOST_INCLUDE_ROOT host host)
heraldix_include_root(HERALDIX_GRAMMAR_INCLUDE_ROOT grammar grammar)
heraldix_include_root(HERALDIX_CONFIG_INCLUDE_ROOT config config)
heraldix_include_root(HERALDIX_PLUGIN_INCLUDE_ROOT plugin host config text delivery players chat events commands plugin)
heraldix_include_root(HERALDIX_SIM_INCLUDE_ROOT sim host sim)

# The plug-in folders' headers; every plug-in target above config/ links it through heraldix::text.
add_library(heraldix_plugin_headers INTERFACE)
add_library(heraldix::plugin_headers ALIAS heraldix_plugin_headers)
target_include_directories(heraldix_plugin_headers INTERFACE $<BUILD_INTERFACE:${HERALDIX_PLUGIN_INCLUDE_ROOT}>)
target_link_libraries(heraldix_plugin_headers INTERFACE heraldix::grammar)

# The simulator's headers, for the simulator and for the tests, benchmarks and fuzz targets that drive it.
add_library(heraldix_sim_headers INTERFACE)
add_library(heraldix::sim_headers ALIAS heraldix_sim_headers)
target_include_directories(heraldix_sim_headers INTERFACE $<BUILD_INTERFACE:${HERALDIX_SIM_INCLUDE_ROOT}>)
target_link_libraries(heraldix_sim_headers INTERFACE heraldix::grammar)

# The host the plug-in runs in. The plug-in's targets link this and heraldix::host (its declarations),
# and nothing else of a host: putting the plug-in on another host means changing these lines alone.
# Today it is the simulated server's host framework and permission service.
add_library(heraldix_host_runtime INTERFACE)
add_library(heraldix::host_runtime ALIAS heraldix_host_runtime)
target_link_libraries(heraldix_host_runtime INTERFACE heraldix::tarrowapi heraldix::permissions)
