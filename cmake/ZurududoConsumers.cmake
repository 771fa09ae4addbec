# Two projects of other people's: one finds the installed package, one adds
# the source tree. Both build the library as a consumer does, so they are
# left out of the sanitizer builds, whose library a plain consumer cannot link.
if(ZURUDUDO_SANITIZE OR ZURUDUDO_THREAD_SANITIZE OR NOT ZURUDUDO_INSTALL OR NOT TARGET sched)
  return()
endif()
foreach(kind installed subdirectory)
  add_test(NAME Consumer.${kind}
    COMMAND ${CMAKE_COMMAND} -DKIND=${kind} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DBUILD_DIR=${PROJECT_BINARY_DIR}
            -DWORK_DIR=${PROJECT_BINARY_DIR}/consumers/${kind} -DCXX=${CMAKE_CXX_COMPILER}
            -DSAMPLE=${PROJECT_SOURCE_DIR}/examples/zurududo/test_single_machine.txt
            -P ${PROJECT_SOURCE_DIR}/cmake/consumers/run.cmake)
endforeach()
