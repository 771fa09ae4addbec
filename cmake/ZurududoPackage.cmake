# The installed package: the CMake package zurududo (targets zurududo::schedule,
# zurududo::charts, and with the heuristics zurududo::benchmarks and
# zurududo::heuristics) and a
# pkg-config file per library, all relocatable: they find the rest of the
# installation from where they are, whatever --prefix the install was given.
set(config_dir ${CMAKE_INSTALL_LIBDIR}/cmake/zurududo)
install(EXPORT zurududoTargets NAMESPACE zurududo:: DESTINATION ${config_dir})
configure_package_config_file(cmake/zurududoConfig.cmake.in
  ${PROJECT_BINARY_DIR}/zurududoConfig.cmake INSTALL_DESTINATION ${config_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/zurududoConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/zurududoConfig.cmake ${PROJECT_BINARY_DIR}/zurududoConfigVersion.cmake
  DESTINATION ${config_dir})

# pkg-config: the prefix is found from the file's own directory.
set(pc_dir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
if(IS_ABSOLUTE ${CMAKE_INSTALL_LIBDIR} OR IS_ABSOLUTE ${CMAKE_INSTALL_INCLUDEDIR})
  set(pc_prefix ${CMAKE_INSTALL_PREFIX})
else()
  file(RELATIVE_PATH pc_up /prefix/${pc_dir} /prefix)
  string(REGEX REPLACE "/$" "" pc_up "${pc_up}")
  set(pc_prefix "\${pcfiledir}/${pc_up}")
endif()
foreach(dir INCLUDEDIR LIBDIR)
  if(IS_ABSOLUTE ${CMAKE_INSTALL_${dir}})
    set(pc_${dir} ${CMAKE_INSTALL_${dir}})
  else()
    set(pc_${dir} "\${prefix}/${CMAKE_INSTALL_${dir}}")
  endif()
endforeach()

# zurududo_pkg_config(FILE NAME DESCRIPTION LIBRARY REQUIRES)
function(zurududo_pkg_config file name description library requires)
  set(pc_name ${name})
  set(pc_description ${description})
  set(pc_library ${library})
  set(pc_requires ${requires})
  configure_file(cmake/zurududo.pc.in ${PROJECT_BINARY_DIR}/${file}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/${file}.pc DESTINATION ${pc_dir})
endfunction()

zurududo_pkg_config(zurududo zurududo "${PROJECT_DESCRIPTION}" zurududo-schedule "")
zurududo_pkg_config(zurududo-charts zurududo-charts "Gantt charts of schedules as SVG text" zurududo_charts zurududo)
if(ZURUDUDO_HEURISTICS)
  zurududo_pkg_config(zurududo-benchmarks zurududo-benchmarks
    "The standard benchmark sets of scheduling, by name" zurududo_benchmarks zurududo)
  zurududo_pkg_config(zurududo-heuristics zurududo-heuristics
    "Reference heuristics for the toolkit's machine environments" zurududo_heuristics "zurududo-benchmarks zurududo-charts")
endif()
