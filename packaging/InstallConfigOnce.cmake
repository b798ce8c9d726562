# Installs the example as config.json only where the server has none: an install or an upgrade never
# overwrites the file an admin edited. Runs at install time with HERALDIX_EXAMPLE_CONFIG set; honours
# DESTDIR as every install rule does.
set(heraldix_dir "${CMAKE_INSTALL_PREFIX}/TarrowApi/Plugins/Heraldix")
if(EXISTS "$ENV{DESTDIR}${heraldix_dir}/config.json")
  message(STATUS "Kept: $ENV{DESTDIR}${heraldix_dir}/config.json (config.example.json shows what is new)")
else()
  file(INSTALL DESTINATION "${heraldix_dir}" TYPE FILE RENAME config.json FILES "${HERALDIX_EXAMPLE_CONFIG}")
endif()
