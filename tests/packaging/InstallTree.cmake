# cmake -DBUILD=<build folder> -DTREE=<folder> -P InstallTree.cmake: a fresh install of the build into TREE.
file(REMOVE_RECURSE ${TREE})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${TREE} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install failed (${status})")
endif()
