# The project's options and the bookkeeping of what a configuration leaves out.
#
# Every option is named ZURUDUDO_*; the names of earlier releases (SCHEDULE_*)
# are still read, with a deprecation message, when the new name is not given.

# zurududo_renamed(NEW OLD): takes OLD's value for NEW when only OLD is set.
macro(zurududo_renamed new old)
  if(NOT "${old}" STREQUAL "${new}" AND DEFINED ${old} AND NOT DEFINED ${new})
    message(DEPRECATION "${old} is now called ${new}; ${old} will stop being read in a later release")
    set(${new} "${${old}}" CACHE STRING "" FORCE)
  endif()
endmacro()

# zurududo_option(NAME DOC DEFAULT OLD_NAME): an ON/OFF option.
function(zurududo_option name doc default old)
  zurududo_renamed(${name} ${old})
  option(${name} "Build ${doc}" ${default})
endfunction()

# zurududo_part(NAME DOC OLD_NAME): a part that needs other packages, AUTO
# (built when they are found), ON (they must be found) or OFF. Outside a
# top-level build the default is OFF.
function(zurududo_part name doc old)
  zurududo_renamed(${name} ${old})
  if(PROJECT_IS_TOP_LEVEL)
    set(default AUTO)
  else()
    set(default OFF)
  endif()
  set(${name} ${default} CACHE STRING "Build ${doc}: AUTO, ON or OFF")
  set_property(CACHE ${name} PROPERTY STRINGS AUTO ON OFF)
  string(TOUPPER "${${name}}" value)
  if(value STREQUAL "AUTO")
    set(${name} AUTO PARENT_SCOPE)
  elseif("${${name}}")
    set(${name} ON PARENT_SCOPE)
  else()
    set(${name} OFF PARENT_SCOPE)
  endif()
endfunction()

# zurududo_missing(NAME REASON PACKAGES): a part cannot be built. Asked for
# with ON, that stops the configuration with the line that installs what is
# missing; otherwise it is left out and the summary says so.
function(zurududo_missing name reason packages)
  if(packages)
    set(install "\n  install with: sudo apt-get install ${packages}")
  else()
    set(install "")
  endif()
  string(TOUPPER "${${name}}" value)
  if(NOT value STREQUAL "AUTO")
    message(FATAL_ERROR "${name} is ON, but ${reason}.${install}\n  (or configure with -D${name}=OFF)")
  endif()
  set_property(GLOBAL APPEND PROPERTY ZURUDUDO_LEFT_OUT "${name}: ${reason}${install}")
  if(packages)
    set_property(GLOBAL APPEND PROPERTY ZURUDUDO_MISSING_PACKAGES ${packages})
  endif()
endfunction()

# zurududo_summary(): one paragraph at the end of the configuration on what was
# left out and why.
function(zurududo_summary)
  get_property(left_out GLOBAL PROPERTY ZURUDUDO_LEFT_OUT)
  if(left_out AND PROJECT_IS_TOP_LEVEL)
    list(JOIN left_out "\n  " lines)
    get_property(packages GLOBAL PROPERTY ZURUDUDO_MISSING_PACKAGES)
    list(REMOVE_DUPLICATES packages)
    list(JOIN packages " " packages)
    set(all "")
    if(packages)
      set(all "\n  everything: sudo apt-get install ${packages}")
    endif()
    message(STATUS "Left out of this build:\n  ${lines}${all}")
  endif()
endfunction()

# The project's warnings, set per target so that a parent project's targets
# keep their own.
function(zurududo_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic $<$<BOOL:${ZURUDUDO_WERROR}>:-Werror>)
endfunction()

# A library of this project beside the toolkit (the benchmark sets, the
# heuristics): its headers under include/zurududo/, exported with the package
# as zurududo::<name>. Added to another project, it is built only when
# something links it.
function(zurududo_exported_library target name)
  add_library(zurududo::${name} ALIAS ${target})
  target_include_directories(${target} PUBLIC
    $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}/include> $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  set_target_properties(${target} PROPERTIES EXPORT_NAME ${name} POSITION_INDEPENDENT_CODE ON)
  if(NOT PROJECT_IS_TOP_LEVEL)
    set_target_properties(${target} PROPERTIES EXCLUDE_FROM_ALL ON)
  endif()
  zurududo_warnings(${target})
  if(ZURUDUDO_INSTALL)
    install(TARGETS ${target} EXPORT zurududoTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
    install(DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/include/zurududo DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
  endif()
endfunction()

# zurududo_gtest(TARGET SOURCE... LIBRARIES lib...): a GoogleTest program of a
# component's tests, its cases discovered by CTest.
function(zurududo_gtest target)
  cmake_parse_arguments(PARSE_ARGV 1 test "" "" "LIBRARIES")
  add_executable(${target} ${test_UNPARSED_ARGUMENTS})
  target_link_libraries(${target} PRIVATE ${test_LIBRARIES} GTest::gtest GTest::gtest_main)
  zurududo_warnings(${target})
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST)
endfunction()

# zurududo_enable_tests(): AUTO builds the tests when GoogleTest is found;
# sets ZURUDUDO_TESTS_ENABLED. Called once ZURUDUDO_TESTS has its value.
macro(zurududo_enable_tests)
  set(ZURUDUDO_TESTS_ENABLED OFF)
  if(ZURUDUDO_TESTS)
    find_package(GTest QUIET)
    if(GTest_FOUND)
      set(ZURUDUDO_TESTS_ENABLED ON)
      enable_testing()
      include(GoogleTest)
      find_package(Threads REQUIRED)
    else()
      zurududo_missing(ZURUDUDO_TESTS "GoogleTest is not found" "libgtest-dev libgmock-dev")
    endif()
  endif()
endmacro()
